// The music output as a whole, pinned: the committed song and a busy song
// of the test's own, each played for 303,976 samples in the calls a
// keeping-pace sound server makes (the whole ring, then 1764 bytes at a
// time), reduced to the FNV-1a 64 of every region's bytes in call order.
// The digests were recorded once from the player as it stood before any
// speed work; a change to any sample of either stream shows here.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/asset_files.h"
#include "music_test_songs.h"
#include "sound/sound_server.h"
#include "base/frame_hash.h"

namespace {

using music_test::MusicTest;
using music_test::RawFrame;

constexpr int PacedCalls = 340;   // after the first: 4096 + 340 * 882 = 303,976 samples

// The FNV-1a 64 of the regions of the server's calls (the silent ones
// included, each region zeroed before its call).
uint64_t PacedStreamDigest()
{
    static int16_t region[FirstRefillBytes / 2];
    uint64_t hash = FnvOffsetBasis;
    for (int call = 0; call <= PacedCalls; ++call) {
        const uint32_t bytes = call == 0 ? FirstRefillBytes : PacedRefillBytes;
        std::memset(region, 0, bytes);
        FillCallback(region, bytes);
        hash = Fnv1a64(region, bytes, hash);   // samples as little-endian bytes on every host we build for
    }
    return hash;
}

// 300 raw frames (six seconds, so the stream loops once) that move every
// register: every mixer combination of tones and noise, tone periods from 0
// to past 12 bits, noise periods past 31, fixed levels and envelope mode on
// each voice, every envelope shape and envelope periods from 0 up.
std::vector<uint8_t> GoldenBusySong()
{
    std::vector<uint8_t> song;
    for (int i = 0; i < 300; ++i) {
        RawFrame f;
        f.periodA = static_cast<uint16_t>((i * 97) % 3000);
        f.periodB = static_cast<uint16_t>(40 + (i * 13) % 600);
        f.periodC = static_cast<uint16_t>(i * 211);   // bits above 12 must be ignored
        f.noisePeriod = static_cast<uint8_t>(i % 40);
        f.mixer = static_cast<uint8_t>((i / 3) % 64 | (i % 5 == 0 ? 0x80 : 0));
        f.volumeA = static_cast<uint8_t>(i % 32);
        f.volumeB = static_cast<uint8_t>(15 - i % 16);
        f.volumeC = static_cast<uint8_t>(0x10 | (i * 7) % 16);
        f.envelopeLow = static_cast<uint8_t>(i % 50 == 0 ? 0 : i * 29);
        f.envelopeHigh = static_cast<uint8_t>(i % 50 == 0 ? 0 : (i / 10) % 4);
        f.shape = i % 6 == 0 ? static_cast<uint8_t>((i / 6) % 16) : 255;
        music_test::Append(song, f);
    }
    return song;
}

class MusicGolden : public MusicTest {};

TEST_F(MusicGolden, CommittedSong)
{
    static uint8_t file[SongBufferSize];
    const AssetBytes song = ReadAsset(QUILLMOOR_ASSETS_DIR "/"
                                                           "ZEB_27.DMP",
                                      file, sizeof file);
    ASSERT_GT(song.fileSize, 0) << "the committed song is missing";
    LoadSong(song);
    const uint64_t digest = PacedStreamDigest();
    EXPECT_EQ(digest, 0x54e5af34a104a55au) << std::hex << "0x" << digest;
}

TEST_F(MusicGolden, BusySong)
{
    Load(GoldenBusySong());
    const uint64_t digest = PacedStreamDigest();
    EXPECT_EQ(digest, 0x565fe329ee695bb0u) << std::hex << "0x" << digest;
}

}   // namespace
