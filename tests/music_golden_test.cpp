// The music output as a whole, pinned: the committed song and a busy song
// of the test's own, each played for 303,976 samples in the calls a
// keeping-pace sound server makes (the whole ring, then 1764 bytes at a
// time), reduced to the FNV-1a 64 of every region's bytes in call order.
// The digests were recorded once from the player as it stood before any
// speed work; a change to any sample of either stream shows here. Beside
// each whole digest, one a second (44,100 samples, the last second short)
// names the first second that differs.
#include <gtest/gtest.h>

#include <cstring>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "app/asset_files.h"
#include "music_test_songs.h"
#include "sound/sound_server.h"
#include "base/frame_hash.h"

namespace {

using music_test::MusicTest;
using music_test::RawFrame;

constexpr int PacedCalls = 340;   // after the first: 4096 + 340 * 882 = 303,976 samples

constexpr size_t SamplesPerSecond = 44100;
constexpr size_t StreamSeconds = (4096 + PacedCalls * 882 + SamplesPerSecond - 1) / SamplesPerSecond;

struct StreamDigests {
    uint64_t whole = 0;
    std::vector<uint64_t> seconds;   // the FNV-1a 64 of each second's samples alone
};

// The FNV-1a 64 of the regions of the server's calls (the silent ones
// included, each region zeroed before its call), and of each second of them.
StreamDigests PacedStreamDigests()
{
    static int16_t region[FirstRefillBytes / 2];
    std::vector<int16_t> stream;
    StreamDigests digests;
    digests.whole = FnvOffsetBasis;
    for (int call = 0; call <= PacedCalls; ++call) {
        const uint32_t bytes = call == 0 ? FirstRefillBytes : PacedRefillBytes;
        std::memset(region, 0, bytes);
        FillCallback(region, bytes);
        digests.whole = Fnv1a64(region, bytes,
                                digests.whole);   // samples as little-endian bytes on every host we build for
        stream.insert(stream.end(), region, region + bytes / 2);
    }
    for (size_t at = 0; at < stream.size(); at += SamplesPerSecond) {
        const size_t count = std::min(SamplesPerSecond, stream.size() - at);
        digests.seconds.push_back(Fnv1a64(stream.data() + at, count * sizeof stream[0]));
    }
    return digests;
}

// Where a stream differs from the recorded one: the first second whose
// digest differs, or "" when none does.
std::string FirstDifference(const StreamDigests& got, const uint64_t (&recorded)[StreamSeconds])
{
    if (got.seconds.size() != StreamSeconds)
        return "; the stream has " + std::to_string(got.seconds.size()) + " seconds";
    for (size_t s = 0; s < StreamSeconds; ++s) {
        if (got.seconds[s] == recorded[s]) continue;
        std::ostringstream where;
        where << "; the first second that differs is second " << s << " (samples " << s * SamplesPerSecond << " to "
              << std::min((s + 1) * SamplesPerSecond, 4096 + PacedCalls * size_t{882}) - 1 << "): 0x" << std::hex
              << got.seconds[s] << " where 0x" << recorded[s] << " was recorded";
        return where.str();
    }
    return "";
}

// The digests as they are now, written as the tables below are: what to
// paste over a table when a change is meant to alter that stream.
std::string AsTable(const StreamDigests& got)
{
    std::ostringstream table;
    table << std::hex << std::setfill('0') << "\nnow: Seconds[StreamSeconds] = {";
    for (size_t s = 0; s < got.seconds.size(); ++s)
        table << (s ? ", " : "") << "0x" << std::setw(16) << got.seconds[s] << 'u';
    table << "}; ExpectGoldenStream(0x" << std::setw(16) << got.whole << "u, Seconds);";
    return table.str();
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

// The loaded song's stream against its recorded digests: the whole stream,
// and each second, so that a change names the first second it reaches.
void ExpectGoldenStream(uint64_t whole, const uint64_t (&seconds)[StreamSeconds])
{
    const StreamDigests digests = PacedStreamDigests();
    EXPECT_EQ(digests.whole, whole) << std::hex << "0x" << digests.whole << FirstDifference(digests, seconds);
    EXPECT_EQ(FirstDifference(digests, seconds), "") << AsTable(digests);
}

// Each table is made again, for a change meant to alter the music, by
//   build/linux/bin/quillmoor_tests --gtest_filter='MusicGolden.*'
// which prints, for each stream that differs, its table as it is now
// ("now: ..."), written as below.
TEST_F(MusicGolden, CommittedSong)
{
    static uint8_t file[SongBufferSize];
    const AssetBytes song = ReadAsset(QUILLMOOR_ASSETS_DIR "/ZEB_27.DMP", file, sizeof file);
    ASSERT_GT(song.fileSize, 0) << "the committed song is missing";
    LoadSong(song);
    static constexpr uint64_t Seconds[StreamSeconds] = {0x933290a209267eddu, 0xda3030c993ed893du, 0xe7a5784516429d3fu,
                                                        0x0e1c27014ec96431u, 0x0af67ee4abb0c4d1u, 0xf32c3bbec0178771u,
                                                        0x74d9cf9f753fa95cu};
    ExpectGoldenStream(0x54e5af34a104a55au, Seconds);
}

TEST_F(MusicGolden, BusySong)
{
    Load(GoldenBusySong());
    static constexpr uint64_t Seconds[StreamSeconds] = {0x011de098495e2181u, 0x14149261315b7703u, 0x0fedb667645a366cu,
                                                        0x166d3c4d83476fd6u, 0xd53817fdce468ef3u, 0x6002fdb22d7158a1u,
                                                        0xe45fd966079f0056u};
    ExpectGoldenStream(0x565fe329ee695bb0u, Seconds);
}

}   // namespace
