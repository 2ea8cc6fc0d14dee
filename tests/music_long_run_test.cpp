// Hours of sound through FillCallback in the calls a keeping-pace sound
// server makes: the clock keeps its rate, the counters and the echo history
// wrap cleanly, and nothing is allocated on the way.
//
// QUILLMOOR_LONG_RUN_SECONDS sets the length (default two hours; the
// sanitizer build runs a shorter stretch).
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "music_test_songs.h"
#include "sound/sound_server.h"
#include "support/allocation_counter.h"

namespace {

using music_test::MusicTest;
using music_test::RawFrame;

uint64_t LongRunSeconds()
{
    const char* text = std::getenv("QUILLMOOR_LONG_RUN_SECONDS");
    return text ? std::strtoull(text, nullptr, 10) : 7200;
}

// The largest raw song that fits the buffer, each frame naming itself in
// voice A's period (all 16 bits are kept), so the decodes can be counted
// from outside the player.
std::vector<uint8_t> NumberedSong(int frames)
{
    std::vector<uint8_t> song;
    for (int i = 0; i < frames; ++i) {
        RawFrame f;
        f.periodA = static_cast<uint16_t>(i);
        f.periodB = static_cast<uint16_t>(100 + i % 900);
        f.mixer = static_cast<uint8_t>(i % 64);
        f.volumeA = static_cast<uint8_t>(i % 32);
        f.volumeB = 15;
        f.volumeC = 0x10;
        f.envelopeLow = static_cast<uint8_t>(i);
        f.shape = i % 50 == 0 ? static_cast<uint8_t>(i / 50 % 16) : 255;
        music_test::Append(song, f);
    }
    return song;
}

class LongRun : public MusicTest {};

TEST_F(LongRun, TheClockKeepsFiftyFramesASecondForHours)
{
    const int frames = SongBufferSize / RawFrameSize;   // 36571 whole frames
    Load(NumberedSong(frames));
    PassCountdown();

    const uint64_t samplesWanted = LongRunSeconds() * 44100;
    static int16_t region[4096];
    uint64_t samples = 0;
    uint64_t decodes = 0;
    uint32_t lastFrame = 0;
    bool started = false;
    int32_t lowest = 32767, highest = -32767;

    const uint64_t allocationsBefore = AllocationCount();
    bool first = true;
    while (samples < samplesWanted) {
        const uint32_t bytes = first ? FirstRefillBytes : PacedRefillBytes;
        first = false;
        FillCallback(region, bytes);
        samples += bytes / 2;
        for (uint32_t i = 0; i < bytes / 2; ++i) {
            lowest = std::min<int32_t>(lowest, region[i]);
            highest = std::max<int32_t>(highest, region[i]);
        }
        // At most two frames pass in one call, far fewer than the song's
        // length, so the distance travelled is unambiguous.
        const uint32_t frame = Player.voices[0].period;
        if (started)
            decodes += (frame + frames - lastFrame) % frames;
        else
            decodes = frame + 1;   // frames 0 to `frame` so far
        started = true;
        lastFrame = frame;
    }
    EXPECT_EQ(AllocationCount(), allocationsBefore);

    // A tick precedes every 32-sample block and one more begins the next:
    // the accumulator, starting at 2^31 - 1, crosses 2^31 once per decode.
    const uint64_t ticks = samples / 32 + 1;
    const uint64_t expected = (0x7FFFFFFFull + ticks * TickStep) >> 31;
    EXPECT_EQ(decodes, expected);
    const double perSecond = static_cast<double>(decodes) / (static_cast<double>(samples) / 44100.0);
    EXPECT_NEAR(perSecond, 49.999975, 0.0001 + 50.0 / static_cast<double>(samples / 44100));
    EXPECT_EQ(Player.sampleCounter, static_cast<uint32_t>(samples));

    // The song kept playing: the output moved across a wide range.
    EXPECT_LT(lowest, -20000);
    EXPECT_GT(highest, 0);
}

TEST_F(LongRun, TheSampleCounterWrapsWithoutAGlitch)
{
    // The echo history is indexed by the counter's low 15 bits, so a counter
    // that starts a whole number of history lengths below 2^32 must give the
    // very same stream through its wrap as one that starts at 0.
    const std::vector<uint8_t> song = music_test::BusyRawSong(400, 11);
    Load(song);
    const std::vector<int16_t> reference = Render(44100 * 3);

    RestorePlayerStartState();
    Load(song);
    Player.sampleCounter = 0u - 2u * EchoHistorySize;   // wraps after 65536 samples
    const std::vector<int16_t> wrapped = Render(44100 * 3);
    EXPECT_EQ(Player.sampleCounter, static_cast<uint32_t>(44100 * 3 - 2 * EchoHistorySize));
    ASSERT_EQ(wrapped.size(), reference.size());
    EXPECT_TRUE(wrapped == reference);
}

}   // namespace
