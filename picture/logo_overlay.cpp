#include "picture/logo_overlay.h"

#include <cstring>
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
    // one is cut at the buffer's end. Past the bytes an earlier file left,
    // the buffer is still zero, so only those are cleared: the part of the
    // buffer a file never reaches is never touched.
    const size_t length = logo.bytes.size() < sizeof Logo.LogoFileBuffer ? logo.bytes.size()
                                                                         : sizeof Logo.LogoFileBuffer;
    // The bytes may have been read into the buffer itself.
    if (length > 0 && logo.bytes.data() != Logo.LogoFileBuffer)
        std::memcpy(Logo.LogoFileBuffer, logo.bytes.data(), length);
    if (Logo.fileBytesHeld > length) std::memset(Logo.LogoFileBuffer + length, 0, Logo.fileBytesHeld - length);
    Logo.fileBytesHeld = length;

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
    // The FoldTable at p + m, for any bytes p and m (p + m <= 510), is the
    // byte sum t = p + m modulo 256 where it does not wrap, and
    // 511 - (p + m) = 255 - t = ~t where it does; it wraps exactly when
    // t < p. So sixteen pixels take an add, a compare and an exclusive or.
    // Mask 0 maps every index to itself, and outside the logo's rows the
    // mask is always 0 (InitLogo writes only inside them): those rows are
    // not visited. Within them whole rows are taken, the mask being 0 in
    // the four columns each side of the logo.
    using Bytes16 = uint8_t __attribute__((vector_size(16)));
    static_assert(PictureWidth % sizeof(Bytes16) == 0);
    for (int y = LogoTop; y < LogoTop + LogoHeight; ++y) {
        uint8_t* pixels = WorkPixel(0, y);
        const uint8_t* mask = Logo.LogoMask + y * PictureWidth;
        for (int x = 0; x < PictureWidth; x += sizeof(Bytes16)) {
            Bytes16 p, m;
            std::memcpy(&p, pixels + x, sizeof p);
            std::memcpy(&m, mask + x, sizeof m);
            const Bytes16 t = p + m;
            const Bytes16 folded = t ^ reinterpret_cast<Bytes16>(t < p);
            std::memcpy(pixels + x, &folded, sizeof folded);
        }
    }
}
