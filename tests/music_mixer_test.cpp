// The sample clock, the FillCallback's blocks and the mix with its echo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "music/generators.h"
#include "music/mixer.h"
#include "music/sample_clock.h"
#include "music/player.h"
#include "music/player_state.h"
#include "music_test_songs.h"

namespace {

using namespace music_test;

using MixerClock = MusicTest;
using MixerFill = MusicTest;
using MixerOutput = MusicTest;

// A raw song of `frames` distinct frames, long enough that a test never
// loops it: the number of decodes so far is the read position / 14.
std::vector<uint8_t> CountingSong(int frames)
{
    std::vector<uint8_t> song;
    for (int i = 0; i < frames; ++i) Append(song, {.periodA = static_cast<uint16_t>(i)});
    return song;
}

// Everything the tick accumulator has taken in since the start: its value
// plus 2^31 for every frame decoded. Ticks between two readings are the
// difference / TickStep.
uint64_t ClockTotal()
{
    return Player.tickAccumulator + (static_cast<uint64_t>(Player.readPosition / RawFrameSize) << 31);
}

int TicksSince(uint64_t total)
{
    const uint64_t taken = ClockTotal() - total;
    EXPECT_EQ(taken % TickStep, 0u);
    return static_cast<int>(taken / TickStep);
}

// A voice that sounds the envelope alone at full level: tone off, envelope
// mode, shape 11 (decay then hold high) standing still on its first entry.
constexpr RawFrame SteadyEnvelopeVoiceA{.mixer = 0x3F, .volumeA = 0x1F, .shape = 11};

TEST_F(MixerClock, FramesAreDecodedAtTicks1And28And56)
{
    Load(CountingSong(100));
    // The first tick crosses 2^31 from 0x7FFFFFFF, decodes and keeps the rest.
    FrameTick();
    EXPECT_EQ(Player.readPosition, RawFrameSize);
    EXPECT_EQ(Player.tickAccumulator, TickStep - 1);
    std::vector<int> decodedAt = {1};
    for (int tick = 2; tick <= 200; ++tick) {
        const int32_t before = Player.readPosition;
        FrameTick();
        if (Player.readPosition != before) decodedAt.push_back(tick);
    }
    EXPECT_EQ(decodedAt, (std::vector<int>{1, 28, 56, 83, 111, 138, 166, 193}));

    // One second is 1378 ticks: 50 frames, the first included.
    for (int tick = 201; tick <= 1378; ++tick) FrameTick();
    EXPECT_EQ(Player.readPosition / RawFrameSize, 50);
}

TEST_F(MixerFill, TheFirstNineCallsWriteNothing)
{
    Load(RawSong({SteadyEnvelopeVoiceA}));
    int16_t region[32];
    for (int call = 1; call <= 9; ++call) {
        std::fill(std::begin(region), std::end(region), int16_t{0x5A5A});
        FillCallback(region, sizeof region);
        for (int16_t sample : region) ASSERT_EQ(sample, 0x5A5A) << "call " << call;
        EXPECT_EQ(Player.sampleCounter, 0u);
        EXPECT_EQ(Player.tickAccumulator, 0x7FFFFFFFu);
    }
    // The tenth fills its region and its first tick decodes the song's first
    // frame before the first sample: the envelope voice sounds at once
    // (S = 16383 - 16384).
    FillCallback(region, sizeof region);
    for (int16_t sample : region) EXPECT_EQ(sample, -1);
    EXPECT_EQ(Player.readPosition, RawFrameSize);
    EXPECT_EQ(Player.startCountdown, -1);
    // And so does every call after it.
    std::fill(std::begin(region), std::end(region), int16_t{0x5A5A});
    FillCallback(region, sizeof region);
    for (int16_t sample : region) EXPECT_EQ(sample, -1);
}

TEST_F(MixerFill, ACallInsideThePendingBlockDoesNotTick)
{
    Load(CountingSong(100));
    PassCountdown();
    int16_t region[64];
    FillCallback(region, 24);   // tick, then 12 samples of its block
    EXPECT_EQ(Player.blockRemainder, 20);

    const uint64_t clock = ClockTotal();
    std::fill(std::begin(region), std::end(region), int16_t{0x5A5A});
    FillCallback(region, 2);
    EXPECT_EQ(Player.sampleCounter, 13u);
    EXPECT_EQ(Player.blockRemainder, 19);
    EXPECT_EQ(TicksSince(clock), 0);
    EXPECT_NE(region[0], 0x5A5A);
    EXPECT_EQ(region[1], 0x5A5A);

    // An odd byte count leaves its last byte alone.
    FillCallback(region, 5);
    EXPECT_EQ(Player.sampleCounter, 15u);
    EXPECT_EQ(region[2], 0x5A5A);
}

TEST_F(MixerFill, WholeBlocksEachFollowATick)
{
    Load(CountingSong(100));
    PassCountdown();
    int16_t region[256];
    FillCallback(region, 48);   // tick, 24 samples
    EXPECT_EQ(Player.blockRemainder, 8);

    // 200 samples: the 8 still due, 6 blocks of 32 each after a tick, then
    // the tick that begins the next call's block.
    uint64_t clock = ClockTotal();
    FillCallback(region, 400);
    EXPECT_EQ(TicksSince(clock), 7);
    EXPECT_EQ(Player.blockRemainder, 32);
    EXPECT_EQ(Player.sampleCounter, 224u);

    // 32 samples with a whole block pending: that block, then one tick.
    clock = ClockTotal();
    FillCallback(region, 64);
    EXPECT_EQ(TicksSince(clock), 1);
    EXPECT_EQ(Player.blockRemainder, 32);
    EXPECT_EQ(Player.sampleCounter, 256u);
}

TEST_F(MixerFill, HowTheRequestsAreCutDoesNotChangeTheStream)
{
    const std::vector<uint8_t> song = BusyRawSong(200, 7);
    constexpr size_t total = 2 * 44100;
    Load(song);
    const std::vector<int16_t> whole = Render(total, total * 2);

    RestorePlayerStartState();
    Load(song);
    PassCountdown();
    const uint32_t sizes[] = {2, 1, 63, 64, 65, 1764, 3, 0, 8192, 130, 62, 66, 7, 1192, 1000, 4};
    std::vector<int16_t> pieces(total + 4096, 0);
    size_t at = 0;
    for (size_t call = 0; at < total; ++call) {
        const uint32_t bytes = sizes[call % std::size(sizes)];
        FillCallback(pieces.data() + at, bytes);
        at += bytes / 2;
    }
    pieces.resize(total);
    EXPECT_EQ(pieces, whole);
}

TEST_F(MixerOutput, SilenceSettlesAtMinus27325ThroughTheEcho)
{
    Load(RawSong({{.mixer = 0xFF}}));
    const std::vector<int16_t> out = Render(20 * 44100);
    // No echo for the first 3000 samples: the history is still zero.
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(out[i], -16384) << i;
    // Then 240/1024 of the output 3000 samples back joins in.
    EXPECT_EQ(out[3000], -16384 - 3840);
    for (size_t i = out.size() - 44100; i < out.size(); ++i) ASSERT_EQ(out[i], -27325) << i;
}

TEST_F(MixerOutput, TonesAreUnipolarOnTheFixedOffset)
{
    // Voice A alone: tone on, fixed level 15, noise off.
    Load(RawSong({{.periodA = 100, .mixer = 0x3E, .volumeA = 0x0F, .volumeB = 0x0F, .volumeC = 0x0F}}));
    const std::vector<int16_t> out = Render(3000);
    const int high = static_cast<int>(std::count(out.begin(), out.end(), -1));
    const int low = static_cast<int>(std::count(out.begin(), out.end(), -16384));
    EXPECT_EQ(high + low, 3000);
    EXPECT_GT(high, 300);
    EXPECT_GT(low, 1500);
}

TEST_F(MixerOutput, NoiseTakesTheFixedLevelEvenInEnvelopeMode)
{
    // Voice A: tone off, noise on, envelope mode at level 15 (shape 11
    // standing still), fixed level 15. Noise period 0 moves the noise phase
    // 185759 a sample from 0.
    RawFrame frame = SteadyEnvelopeVoiceA;
    frame.mixer = 0x37;
    Load(RawSong({frame}));
    const std::vector<int16_t> out = Render(3000);
    for (uint32_t i = 0; i < 3000; ++i) {
        const int32_t n = Player.NoiseTable[((i * 185759u) >> 16) & 0x3FFF];
        ASSERT_EQ(out[i], 16383 + ((n * 16383) >> 12) - 16384) << i;
    }
}

TEST_F(MixerOutput, ThreeNoisesAtFullAmplitudeAreSummedWithoutOverflow)
{
    // Three noise voices at a fixed level whose amplitude (32767, the level
    // table before loading halves it) takes the noise sum past 16 bits: the
    // sum is still exact, clamped only at the end. The history is silent for
    // the first 3000 samples, so there the output is the dry mix.
    Load(RawSong({{.mixer = 0x07, .volumeA = 0x0F, .volumeB = 0x0F, .volumeC = 0x0F}}));
    Player.VolumeTable[15] = 32767;
    const std::vector<int16_t> out = Render(3000);
    bool clamped = false;
    for (uint32_t i = 0; i < 3000; ++i) {
        const int32_t n = Player.NoiseTable[((i * 185759u) >> 16) & 0x3FFF];
        const int32_t dry = 3 * ((n * 32767) >> 12) - 16384;
        clamped |= dry < -32767;
        ASSERT_EQ(out[i], std::max(dry, -32767)) << i;
    }
    EXPECT_TRUE(clamped);
}

TEST_F(MixerOutput, SumsAreClampedToPlusMinus32767)
{
    // Three envelope voices at full level plus three noises: far above the
    // top, with the echo adding more.
    Load(RawSong({{.mixer = 0x07, .volumeA = 0x1F, .volumeB = 0x1F, .volumeC = 0x1F, .shape = 11}}));
    std::vector<int16_t> out = Render(3 * 44100);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 32767);
    EXPECT_GT(std::count(out.begin(), out.end(), int16_t{32767}), 1000);

    // Three full-level noises on silent voices reach down to -40960.
    RestorePlayerStartState();
    Load(RawSong({{.mixer = 0x07, .volumeA = 0x0F, .volumeB = 0x0F, .volumeC = 0x0F}}));
    out = Render(3 * 44100);
    EXPECT_EQ(*std::min_element(out.begin(), out.end()), -32767);
    EXPECT_GT(std::count(out.begin(), out.end(), int16_t{-32767}), 1000);
}

// The player mixes whole runs in vector lanes and the odd samples one by
// one; a long mix (past the nearest tap, across the history's wrap) must
// give what mixing one sample at a time gives, for songs whose registers
// take every path.
TEST_F(MixerOutput, OneLongMixEqualsOneSampleAtATime)
{
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        // Past a whole history, just after the nearest tap's position has
        // wrapped: the next wrap is 9000 samples on, so the mix must cut its
        // pieces at the tap's delay itself.
        auto prepare = [seed] {
            RestorePlayerStartState();
            Load(BusyRawSong(400, seed));
            Render(32768 + 3000 + seed * 7);
        };
        constexpr int32_t count = 4000;
        prepare();
        std::vector<int16_t> whole(count);
        GenerateBlock(0, count);
        MixBlock(whole.data(), count);

        prepare();
        std::vector<int16_t> single(count);
        for (int32_t i = 0; i < count; ++i) {
            GenerateBlock(0, 1);
            MixBlock(&single[i], 1);
        }
        EXPECT_EQ(whole, single) << "seed " << seed;
    }
}

}   // namespace
