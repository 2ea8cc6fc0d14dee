#include "picture/logo_overlay.h"

#include <memory>

#include "app/asset_files.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"

LogoState Logo;

void ResetLogo()
{
    std::destroy_at(&Logo);
    std::construct_at(&Logo);
}

void InitLogo()
{
    // A missing file leaves the buffer zero and so the mask empty; a longer
    // one is cut at the buffer's end.
    (void)ReadWholeFile(LogoFileName, Logo.LogoFileBuffer, sizeof Logo.LogoFileBuffer);

    // The file is stored bottom-up: its last row is the top of the logo.
    for (int k = 0; k < LogoHeight; ++k) {
        const uint8_t* stored = Logo.LogoFileBuffer + LogoPixelOffset + LogoWidth * (LogoHeight - 1 - k);
        uint8_t* mask = Logo.LogoMask + (LogoTop + k) * PictureWidth + LogoLeft;
        for (int i = 0; i < LogoWidth; ++i) mask[i] = stored[i] != 0 ? 16 : 0;
    }

    for (int32_t i = 0; i < 256; ++i) {
        Logo.FoldTable[i] = i;
        Logo.FoldTable[511 - i] = i;
        Logo.FoldTable[512 + i] = i;
        Logo.FoldTable[1023 - i] = i;
    }

    BuildRecolourTable();
}

void ApplyLogo()
{
    // Mask 0 maps every index to itself, so the whole window takes the same
    // add and lookup, logo or not.
    const int32_t* fold = Logo.FoldTable;
    for (int y = 0; y < PictureHeight; ++y) {
        uint8_t* pixels = WorkPixel(0, y);
        const uint8_t* mask = Logo.LogoMask + y * PictureWidth;
        for (int x = 0; x < PictureWidth; ++x)
            pixels[x] = static_cast<uint8_t>(fold[pixels[x] + mask[x]]);
    }
}
