// Whole frames end to end: the picture set-up and frame cycle of the intro
// with a small fixed set of assets, each frame reduced to a digest of its
// OutputImage. The expected digests were computed once, by this code and
// by a separate plain per-pixel rendering that agreed with it, and the
// frames checked by eye.
#include <gtest/gtest.h>

#include <cstring>
#include <iomanip>
#include <sstream>
#include <string>

#include "app/frame_cycle.h"
#include "app/intro_run.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"
#include "base/frame_hash.h"

namespace {

using namespace picture_test;

// The frame hash quillmoor-capture prints: FNV-1a 64 over the OutputImage's
// pixels as little-endian bytes.
uint64_t OutputDigest()
{
    return HashPixels(Screen.OutputImage, sizeof Screen.OutputImage / sizeof Screen.OutputImage[0]);
}

// Every frame's digest from 0 to 100, recorded from this code when it drew
// the four frames the test pins: where one of those differs, these name the
// first frame that did. Made again, for a change meant to alter the
// picture, by
//   build/linux/bin/quillmoor_tests --gtest_filter='PictureFramesTest.*'
// which prints, when a frame differs, this table as it is now ("now: ...")
// to paste here; the four pinned frames are its entries 0, 1, 2 and 100.
constexpr uint64_t EveryFrame[101] = {
    0x0334b9e25539b4a4u, 0xe6de7cefd0b41270u, 0x813e718dffa45252u, 0xb63b89418f8b8bb5u, 0x4effa3b927e4a874u,
    0x4e9aacad10fbc869u, 0x3b8e9fdee7ff95a6u, 0xeee407758a3e5c90u, 0xac8dfa424a0ea270u, 0xa36982a868bc4da6u,
    0x83d54f94c7c96188u, 0x3fd8e9c5a929c37au, 0xd795bc49f09a4b73u, 0x3436fa747026d334u, 0xd3cb07c124a730e4u,
    0xc66e2cd833ac932du, 0x695d03992151f202u, 0x319ef1bece6a17f4u, 0x273844e9316aba59u, 0xdaa14e7bc1d45453u,
    0x20901e84e5104fc9u, 0x78f336bd36c2a12du, 0x9d7800bc78a3df55u, 0xfa3ae279030362b4u, 0xef823c7e0c7153f1u,
    0x74fcf2e92bd5d1ffu, 0xa875a86cdc5f9bc0u, 0xc2474fefeea154d9u, 0x4fc719ec0ae85d53u, 0xdb62918273d0db60u,
    0xcac118e7937c400fu, 0x247417f1d32cd48au, 0xff585bd411fd4007u, 0x7d2c9af9a65295fdu, 0x4ae5df0588ecfadau,
    0x93da3f142195d460u, 0xc56c57b967e2b113u, 0x604cc798db7196c6u, 0x0ad732ee3fbd796cu, 0xf9bc9c8d71a3915bu,
    0xbbff393e3bdacba6u, 0xc5f8d81449e1dfe1u, 0x349cfa4609e7b47eu, 0xc650833254139138u, 0xc56a54a5bb6ff87eu,
    0x755dcc98aeb1d864u, 0x86c9c691b1cc68d5u, 0x81946a55f4595a45u, 0x74c70b1ce36ca96fu, 0xb8c4f9a3ecdd0ad8u,
    0x3655c9a20ee0e4fbu, 0xaf0a0c753ff1225au, 0x99b1cd65cf9fba4fu, 0xe07f5c142a9b5525u, 0x60c55a99c687f381u,
    0x53790aaf17fdaa00u, 0xe6314b0fb77238aeu, 0x30b0be43c787198bu, 0x543783392f1efacfu, 0x4beaf27e802d02d2u,
    0x9d634aef14f041d3u, 0x1f1a181c9fc6229du, 0x96dbd4baaf1767c6u, 0xa548575b7be5c4b8u, 0xb2ac0374f479dfd1u,
    0x0d795c4d3d0fb5e6u, 0xf33afb3e17f7e722u, 0x42345a577121acfbu, 0xe55d3345afca464au, 0x44d1b198586abaf3u,
    0xb74bb820c067726cu, 0x4456949b4fc1f5c2u, 0x089a6a89e87e147au, 0x6b0b6ae31e66fa38u, 0x216c7e9b64cb39a7u,
    0x8c4bb70acc289780u, 0x4bd3f4f5fb311b5bu, 0x417dedcf441f820bu, 0xc2dcf902ea4c3729u, 0x0d9da9da172cfd6cu,
    0xdf9bba1a1dc87456u, 0x6f488874044ce03fu, 0x044428078b4e1a5au, 0xfbff3adf1eee2ea7u, 0x20a62e059491111au,
    0x4007b8587decc0adu, 0xb076616944c54cb9u, 0xb4fd48a65a4accf1u, 0x9de9acb61209567bu, 0x53c8a844bc135409u,
    0xc909ede952c1af17u, 0xafa245fcf7a75edau, 0xa2ba208df555029du, 0xc93bd9b261ba1df9u, 0x2a4f0543cfb356a9u,
    0x446c47f8d86934dau, 0xec7372920b98025au, 0x868d08f8cbe2215bu, 0x2b18c8ef413f6a50u, 0x335b956e5c1f1901u,
    0x3833d04cd04dc8a0u};

std::string FirstDifference(int frame, uint64_t digest)
{
    if (frame < 0) return "";
    std::ostringstream where;
    where << "; the first frame that differs is frame " << frame << ": 0x" << std::hex << digest << " where 0x"
          << EveryFrame[frame] << " was recorded";
    return where.str();
}

// Every frame's digest as it is now, written as EveryFrame is.
std::string AsTable(const uint64_t (&now)[101])
{
    std::ostringstream table;
    table << std::hex << std::setfill('0') << "\nnow: EveryFrame[101] = {";
    for (int frame = 0; frame <= 100; ++frame)
        table << (frame % 5 ? " " : "\n    ") << "0x" << std::setw(16) << now[frame] << (frame < 100 ? "u," : "u};");
    return table.str();
}

TEST(PictureFramesTest, FramesWithTestAssets)
{
    std::memset(&Screen, 0, sizeof Screen);
    ResetEffect();
    ResetLogo();
    ResetText();
    InitPictureWithTestAssets();
    for (uint32_t pixel : Screen.OutputImage) ASSERT_EQ(pixel, 0x002B0000u);

    const struct {
        int frame;
        uint64_t digest;
    } expected[] = {
        {0, 0x0334b9e25539b4a4u},
        {1, 0xe6de7cefd0b41270u},
        {2, 0x813e718dffa45252u},
        {100, 0x3833d04cd04dc8a0u},
    };
    int frame = 0, firstDiffering = -1;
    uint64_t firstDifferingDigest = 0, now[101] = {};
    for (const auto& e : expected) {
        for (; frame <= e.frame; ++frame) {
            FrameStep();
            now[frame] = OutputDigest();
            if (firstDiffering < 0 && OutputDigest() != EveryFrame[frame]) {
                firstDiffering = frame;
                firstDifferingDigest = OutputDigest();
            }
        }
        EXPECT_EQ(OutputDigest(), e.digest) << "frame " << e.frame << std::hex << ": 0x" << OutputDigest()
                                            << FirstDifference(firstDiffering, firstDifferingDigest);
    }
    EXPECT_EQ(Effect.FrameCounter, 101.0);
    EXPECT_EQ(FirstDifference(firstDiffering, firstDifferingDigest), "") << AsTable(now);
}

}   // namespace
