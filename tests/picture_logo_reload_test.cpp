// A logo read after a longer one: the buffer clears only what the longer
// file left, and must still end up holding the new file and zeros alone.
#include <gtest/gtest.h>

#include <vector>

#include "base/asset_bytes.h"
#include "picture/logo_overlay.h"

namespace {

TEST(PictureLogoReloadTest, AShorterFileAfterALongerOneLeavesZerosBehindIt)
{
    ResetLogo();
    const std::vector<uint8_t> longer(sizeof Logo.LogoFileBuffer + 10, 0xFF), shorter(2000, 0x11);
    InitLogo(AssetFromBytes(longer));
    InitLogo(AssetFromBytes(shorter));
    for (size_t i = 0; i < sizeof Logo.LogoFileBuffer; ++i)
        ASSERT_EQ(Logo.LogoFileBuffer[i], i < shorter.size() ? 0x11 : 0) << i;
    InitLogo(AssetFromBytes({}));
    for (uint8_t byte : Logo.LogoFileBuffer) ASSERT_EQ(byte, 0);
    for (uint8_t mask : Logo.LogoMask) ASSERT_EQ(mask, 0);
}

}   // namespace
