// LoadBinResource on Windows: the "BIN" resources of the program's own module,
// compiled in from app/win32/win32_resources.rc.in.
#include "app/asset_files.h"

#include <windows.h>

const void* LoadBinResource(uint32_t id, uint32_t* size)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id & 0xFFFF), "BIN");
    if (!found) {
        if (size) *size = 0;
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* bytes = LockResource(loaded);
    if (size) *size = SizeofResource(nullptr, found);
    return bytes;
}
