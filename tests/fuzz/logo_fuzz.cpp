// Any logo file: build the mask from it, then lay it over a frame.
#include <cstdint>
#include <cstring>

#include "app/asset_files.h"
#include "fuzz_files.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterFuzzDirectory();
    WriteFuzzFile(LogoFileName, data, size);
    ResetLogo();
    InitLogoFromFile(LogoFileName);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) *WorkPixel(x, y) = static_cast<uint8_t>(x + y);
    ApplyLogo();
    // The overlay only ever raises by 16 with a fold at the top, or keeps.
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const int before = (x + y) & 255;
            const int after = *WorkPixel(x, y);
            const int raised = before + 16 < 256 ? before + 16 : 495 - before;
            if (after != before && after != raised) __builtin_trap();
        }
    }
    return 0;
}
