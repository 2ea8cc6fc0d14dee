// What comes out of the FillCallback sounds like the registers say: the
// pitch of a tone measured from the samples is 125,000 / period Hz.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "music/player_state.h"
#include "music_test_songs.h"

namespace {

using namespace music_test;

using MusicPitch = MusicTest;

constexpr double SampleRate = 44100.0;

// The frequency of a two-level signal from its rising crossings of
// `threshold` in samples [from, to): whole cycles over the time they span.
double RisingFrequency(const std::vector<int32_t>& signal, size_t from, size_t to, int32_t threshold)
{
    size_t first = 0, last = 0, crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (signal[i - 1] < threshold && signal[i] >= threshold) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return static_cast<double>(crossings - 1) * SampleRate / static_cast<double>(last - first);
}

std::vector<int32_t> Widen(const std::vector<int16_t>& samples)
{
    return std::vector<int32_t>(samples.begin(), samples.end());
}

// The mix before the echo, recovered from the output: the echo adds 170/1024
// of the output 12000 samples back and 240/1024 of the output 3000 back,
// which the capture itself holds. Exact while nothing is clamped: the sum is
// shifted down by 10 bits and the mix enters it times 1024.
std::vector<int32_t> RemoveEcho(const std::vector<int16_t>& out)
{
    std::vector<int32_t> dry(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        const int32_t far = i >= 12000 ? out[i - 12000] : 0;
        const int32_t near = i >= 3000 ? out[i - 3000] : 0;
        dry[i] = out[i] - ((170 * far + 240 * near) >> 10);
    }
    return dry;
}

// Voice A alone as a plain square at full level: tone on, envelope mode,
// shape 11 standing still on its high first entry. The mix is then -1 while
// the square is up and -16384 while it is down.
RawFrame SquareOnA(uint16_t period)
{
    return {.periodA = period, .mixer = 0x3E, .volumeA = 0x1F, .shape = 11};
}

TEST_F(MusicPitch, ASteadyToneHasThePitchOfItsPeriod)
{
    for (uint16_t period : {100, 284, 1000, 2000, 4095}) {
        RestorePlayerStartState();
        Load(RawSong({SquareOnA(period)}));
        // The first 3000 samples carry no echo.
        const std::vector<int32_t> out = Widen(Render(3000));
        const double expected = 125000.0 / period;
        EXPECT_NEAR(RisingFrequency(out, 0, out.size(), -8192), expected, expected * 0.002) << period;
    }

    // A fixed-level voice: the pulse narrows, the pitch stays.
    RestorePlayerStartState();
    Load(RawSong({{.periodA = 284, .mixer = 0x3E, .volumeA = 0x0F}}));
    const std::vector<int32_t> out = Widen(Render(3000));
    EXPECT_NEAR(RisingFrequency(out, 0, out.size(), -8192), 125000.0 / 284, 1.0);
}

TEST_F(MusicPitch, AMinuteOfMelodyKeepsItsNotesUnderTheEcho)
{
    // One note a second (50 frames) for 60 seconds, over three octaves.
    const uint16_t notes[] = {478, 426, 379, 358, 319, 284, 253, 239, 213, 190, 179, 159, 142, 956, 851, 758};
    std::vector<uint8_t> song;
    for (int second = 0; second < 60; ++second) {
        for (int frame = 0; frame < 50; ++frame) Append(song, SquareOnA(notes[second % std::size(notes)]));
    }
    Load(song);
    const std::vector<int16_t> out = Render(60 * 44100);
    const std::vector<int32_t> dry = RemoveEcho(out);

    for (int second = 0; second < 60; ++second) {
        const uint16_t period = notes[second % std::size(notes)];
        // Frames change on ticks, a few ms off the second: skip the edges.
        const size_t from = static_cast<size_t>(second) * 44100 + 4410;
        const size_t to = from + 35280;
        for (size_t i = from; i < to; ++i) {
            ASSERT_TRUE(dry[i] == -1 || dry[i] == -16384) << "second " << second << " sample " << i << ": " << dry[i];
        }
        const double expected = 125000.0 / period;
        EXPECT_NEAR(RisingFrequency(dry, from, to, -8192), expected, expected * 0.002) << "second " << second;
        // The output itself is the echoing mix, not the dry square.
        EXPECT_NE(out[from + 100], dry[from + 100]);
    }
}

}   // namespace
