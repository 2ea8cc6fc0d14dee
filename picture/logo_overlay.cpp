#include "picture/logo_overlay.h"

#include <memory>

#include "picture/surfaces.h"
#include "picture/text_page.h"

LogoState Logo;

void ResetLogo()
{
    std::destroy_at(&Logo);
    std::construct_at(&Logo);
}

void InitLogo(const AssetBytes& logo)
{
    // A missing file leaves the buffer zero and so the mask empty; a longer
    // one is cut at the buffer's end.
    CopyAssetInto(logo, Logo.LogoFileBuffer, sizeof Logo.LogoFileBuffer);

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
    // Mask 0 maps every index to itself, so the logo's rectangle takes the
    // same add and lookup, logo or not; four pixels per step. Outside the
    // rectangle the mask is always 0 (InitLogo writes only inside it), and
    // those pixels would stay as they are: they are not visited.
    static_assert(LogoWidth % 4 == 0);
    const int32_t* fold = Logo.FoldTable;
    auto folded = [fold](uint32_t pixel, uint32_t mask) { return static_cast<uint8_t>(fold[pixel + mask]); };
    for (int y = LogoTop; y < LogoTop + LogoHeight; ++y) {
        uint8_t* pixels = WorkPixel(LogoLeft, y);
        const uint8_t* mask = Logo.LogoMask + y * PictureWidth + LogoLeft;
        for (int x = 0; x < LogoWidth; x += 4) {
            const uint8_t p0 = folded(pixels[x + 0], mask[x + 0]);
            const uint8_t p1 = folded(pixels[x + 1], mask[x + 1]);
            const uint8_t p2 = folded(pixels[x + 2], mask[x + 2]);
            const uint8_t p3 = folded(pixels[x + 3], mask[x + 3]);
            pixels[x + 0] = p0;
            pixels[x + 1] = p1;
            pixels[x + 2] = p2;
            pixels[x + 3] = p3;
        }
    }
}
