// LoadBinResource for platforms without resource sections: the "BIN"
// resources are compiled into the program as arrays (see app/CMakeLists.txt).
#include "app/asset_files.h"

extern const unsigned char BinResource101[];
extern const unsigned BinResource101Size;
extern const unsigned char BinResource102[];
extern const unsigned BinResource102Size;

namespace {

struct EmbeddedResource {
    uint16_t id;
    const unsigned char* bytes;
    const unsigned* size;
};

const EmbeddedResource BinResources[] = {
    {101, BinResource101, &BinResource101Size},
    {102, BinResource102, &BinResource102Size},
};

}   // namespace

const void* LoadBinResource(uint32_t id, uint32_t* size)
{
    for (const EmbeddedResource& resource : BinResources) {
        if (resource.id == (id & 0xFFFF)) {
            if (size) *size = *resource.size;
            return resource.bytes;
        }
    }
    if (size) *size = 0;
    return nullptr;
}
