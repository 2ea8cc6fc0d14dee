// The noise table, the tone and envelope generators and their phase steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "music/generators.h"
#include "music/player_state.h"
#include "music_test_songs.h"

namespace {

using namespace music_test;

using GeneratorNoise = MusicTest;

class GeneratorTest : public MusicTest {
protected:
    // Loads a one-frame song and decodes it: tables prepared, registers set.
    void LoadOneFrame(const RawFrame& frame)
    {
        Load(RawSong({frame}));
        DecodeFrame();
    }

    // `count` samples of one generator block, made in blocks of 32.
    template <typename Sample>
    std::vector<int32_t> Run(const Sample* block, int count)
    {
        std::vector<int32_t> out;
        while (count > 0) {
            const int n = count < BlockSamples ? count : BlockSamples;
            GenerateBlock(0, n);
            out.insert(out.end(), block, block + n);
            count -= n;
        }
        return out;
    }
};

using GeneratorSteps = GeneratorTest;
using GeneratorTones = GeneratorTest;
using GeneratorEnvelopes = GeneratorTest;

TEST_F(GeneratorNoise, TableStartsAsGivenAndHoldsEveryQuarterValueOnce)
{
    Load(RawSong({{}}));
    const int32_t first[] = {-763, -1092, 1734, -1279, 501};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Player.NoiseTable[i], first[i]);

    // -8192..8191 divided by 4 toward zero: -2048 once (from -8192), 0 seven
    // times (-3..3), every other value of -2047..2047 four times.
    std::map<int32_t, int> counts;
    for (int32_t entry : Player.NoiseTable) ++counts[entry];
    EXPECT_EQ(counts.size(), 4096u);
    EXPECT_EQ(counts.begin()->first, -2048);
    EXPECT_EQ(counts.rbegin()->first, 2047);
    for (const auto& [value, count] : counts) {
        const int expected = value == -2048 ? 1 : value == 0 ? 7 : 4;
        EXPECT_EQ(count, expected) << value;
    }
}

TEST_F(GeneratorSteps, ToneStepsIncludingTheShortPeriodsThatWrap)
{
    EXPECT_EQ(ToneStep(1), 3584009216u);
    EXPECT_EQ(ToneStep(2), 1792004608u);
    EXPECT_EQ(ToneStep(100), 121739438u);
    EXPECT_EQ(ToneStep(4095), 2972880u);
    // Only the low 12 bits of the period count.
    EXPECT_EQ(ToneStep(0), 0u);
    EXPECT_EQ(ToneStep(0x1000), 0u);
    EXPECT_EQ(ToneStep(0xF064), 121739438u);
}

TEST_F(GeneratorSteps, EnvelopeAndNoiseSteps)
{
    EXPECT_EQ(EnvelopeStep(1), 190217864u);
    EXPECT_EQ(EnvelopeStep(1000), 190217u);
    EXPECT_EQ(EnvelopeStep(65535), 2902u);
    EXPECT_EQ(EnvelopeStep(0), 0u);
    EXPECT_EQ(NoiseStep(0), 185759u);
    EXPECT_EQ(NoiseStep(31), 5804u);
}

TEST_F(GeneratorSteps, EveryPhaseAdvancesByTheStepOfItsRegisters)
{
    LoadOneFrame({.periodA = 1,
                  .periodB = 0xF064,
                  .periodC = 4095,
                  .noisePeriod = 31,
                  .mixer = 0,
                  .volumeA = 0x10,
                  .envelopeLow = 0xE8,
                  .envelopeHigh = 0x03,
                  .shape = 255});
    Run(Player.noiseBlock, 100);
    EXPECT_EQ(Player.voices[0].phase, 100u * 3584009216u);
    EXPECT_EQ(Player.voices[0].secondPhase, 0u);   // envelope mode: the companion rests
    EXPECT_EQ(Player.voices[1].phase, 100u * 121739438u);
    EXPECT_EQ(Player.voices[1].secondPhase, 100u * (121739438u + 262144u));
    EXPECT_EQ(Player.voices[2].phase, 100u * 2972880u);
    EXPECT_EQ(Player.envelopePhase, 100u * 190217u);
    EXPECT_EQ(Player.noisePhase, 100u * 5804u);

    // A zero count changes nothing.
    GenerateBlock(0, 0);
    EXPECT_EQ(Player.noisePhase, 100u * 5804u);
    EXPECT_EQ(Player.voices[2].phase, 100u * 2972880u);
}

TEST_F(GeneratorSteps, NoiseReadsTheTableAtThePhase)
{
    LoadOneFrame({.noisePeriod = 0});
    const std::vector<int32_t> noise = Run(Player.noiseBlock, 64);
    // Held times 16, for the mixer's 16-bit multiplies.
    for (uint32_t i = 0; i < 64; ++i) EXPECT_EQ(noise[i], Player.NoiseTable[(i * 185759u) >> 16] * 16) << i;
}

TEST_F(GeneratorTones, AnEnvelopeModeVoiceIsAnExactSquare)
{
    // Period 125: 44.1 samples per cycle, so 1,000 cycles span 44,100 samples.
    LoadOneFrame({.periodA = 125, .volumeA = 0x10});
    const std::vector<int32_t> tone = Run(Player.toneBlocks[0], 44100);
    int high = 0;
    for (size_t i = 0; i < tone.size(); ++i) {
        ASSERT_TRUE(tone[i] == 0 || tone[i] == -1);
        high += tone[i] == -1;
        // Low for the first half cycle, then high.
        if (i < 22) {
            EXPECT_EQ(tone[i], 0) << i;
        } else if (i >= 23 && i < 44) {
            EXPECT_EQ(tone[i], -1) << i;
        }
    }
    EXPECT_NEAR(high, 22050, 1000 / 2);
}

TEST_F(GeneratorTones, AFixedLevelVoiceSweepsItsPulseWidth)
{
    // Period 1000: 352.8 samples per cycle. The width sweeps from 0 to 50 %
    // and back over 16384 samples.
    LoadOneFrame({.periodA = 1000, .volumeA = 0x0F});
    const std::vector<int32_t> tone = Run(Player.toneBlocks[0], 16384 * 2);
    auto highShare = [&](int from) {
        int high = 0;
        for (int i = from; i < from + 706; ++i) high += tone[i] == -1;   // 2 cycles
        return high / 706.0;
    };
    // Both phases start at 0: the squares coincide, then drift apart.
    EXPECT_NEAR(highShare(0), 0.5, 0.05);
    EXPECT_NEAR(highShare(8192 - 353), 0.0, 0.05);
    EXPECT_NEAR(highShare(16384 - 353), 0.5, 0.05);
    EXPECT_NEAR(highShare(16384 + 4096 - 353), 0.25, 0.05);
    for (int32_t sample : tone) ASSERT_TRUE(sample == 0 || sample == -1);
}

TEST_F(GeneratorTones, PeriodZeroStandsTheMainPhaseStill)
{
    // From the start state a voice that never had a period outputs 0.
    LoadOneFrame({.periodA = 0, .periodB = 0x1000, .volumeA = 0x0F, .volumeB = 0x1F});
    for (int32_t sample : Run(Player.toneBlocks[0], 20000)) ASSERT_EQ(sample, 0);
    EXPECT_EQ(Player.voices[1].phase, 0u);

    // With the main phase in its upper half, a fixed-level voice follows its
    // companion square, which still moves 262144 a sample (8192 samples per
    // half cycle); an envelope-mode voice holds -1.
    Player.voices[0].phase = 0x80000000u;
    Player.voices[0].secondPhase = 0;
    Player.voices[1].phase = 0x80000000u;
    std::vector<int32_t> a, b;
    for (int i = 0; i < 16384 / BlockSamples; ++i) {
        GenerateBlock(0, BlockSamples);
        a.insert(a.end(), Player.toneBlocks[0], Player.toneBlocks[0] + BlockSamples);
        b.insert(b.end(), Player.toneBlocks[1], Player.toneBlocks[1] + BlockSamples);
    }
    for (int i = 0; i < 16384; ++i) {
        ASSERT_EQ(a[i], i < 8192 ? 0 : -1) << i;
        ASSERT_EQ(b[i], -1) << i;
    }
}

TEST_F(GeneratorEnvelopes, TheStartPatternIsAllOnes)
{
    Load(RawSong({{.envelopeLow = 1, .shape = 255}}));
    DecodeFrame();
    for (int32_t level : Run(Player.envelopeBlock, 5000)) ASSERT_EQ(level, -1);
}

TEST_F(GeneratorEnvelopes, PatternsByShape)
{
    Load(RawSong({{}}));
    const int32_t* amplitude = Player.VolumeTable;
    // The level at entry k of each shape's pattern, read with the envelope
    // standing still (period 0).
    auto levelsOf = [&](uint32_t shape) {
        std::vector<int32_t> levels;
        for (uint32_t entry = 0; entry < 64; ++entry) {
            RestartEnvelope(shape);
            Player.envelopePhase = entry << 26;
            GenerateBlock(0, 1);
            levels.push_back(Player.envelopeBlock[0]);
        }
        return levels;
    };
    auto runs = [&](std::initializer_list<char> kinds) {
        std::vector<int32_t> levels;
        for (char kind : kinds) {
            for (int step = 0; step < 16; ++step) {
                const int level = kind == '\\' ? 15 - step : kind == '/' ? step : kind == '^' ? 15 : 0;
                levels.push_back(amplitude[level]);
            }
        }
        return levels;
    };
    const auto decay = runs({'\\', '_', '_', '_'});
    const auto attack = runs({'/', '_', '_', '_'});
    for (uint32_t shape : {0u, 1u, 2u, 3u, 9u, 16u}) EXPECT_EQ(levelsOf(shape), decay) << shape;
    for (uint32_t shape : {4u, 5u, 6u, 7u, 15u, 255u}) EXPECT_EQ(levelsOf(shape), attack) << shape;
    EXPECT_EQ(levelsOf(8), runs({'\\', '\\', '\\', '\\'}));
    EXPECT_EQ(levelsOf(10), runs({'\\', '/', '\\', '/'}));
    EXPECT_EQ(levelsOf(11), runs({'\\', '^', '^', '^'}));
    EXPECT_EQ(levelsOf(12), runs({'/', '/', '/', '/'}));
    EXPECT_EQ(levelsOf(13), runs({'/', '^', '^', '^'}));
    EXPECT_EQ(levelsOf(14), runs({'/', '\\', '/', '\\'}));
    EXPECT_EQ(amplitude[15], 16383);
    EXPECT_EQ(amplitude[0], 31);
}

TEST_F(GeneratorEnvelopes, ADecayStartsAgainAfter64Steps)
{
    // Period 1000: 64 entries of 2^26 take 2^32 / 190217 = 22579.4 samples.
    Load(RawSong({{.envelopeLow = 0xE8, .envelopeHigh = 0x03, .shape = 0}}));
    DecodeFrame();
    const std::vector<int32_t> envelope = Run(Player.envelopeBlock, 22600);
    EXPECT_EQ(envelope[0], 16383);
    EXPECT_EQ(envelope[352], 16383);     // 352 * 190217 < 2^26
    EXPECT_EQ(envelope[353], 10610);     // entry 1, level 14
    EXPECT_EQ(envelope[5300], 31);       // entry 15, level 0
    EXPECT_EQ(envelope[22579], 31);      // entry 63
    EXPECT_EQ(envelope[22580], 16383);   // entry 0 again
    for (size_t i = 1; i < 22580; ++i) ASSERT_LE(envelope[i], envelope[i - 1]) << i;

    // Period 0 freezes the envelope on the first entry of a new pattern.
    RestorePlayerStartState();
    Load(RawSong({{.shape = 13}}));
    DecodeFrame();
    for (int32_t level : Run(Player.envelopeBlock, 1000)) ASSERT_EQ(level, 31);
}

// The player generates whole runs between two decoded frames (up to
// MaxRunSamples), a request's last few samples alone; a generator's samples
// must not depend on how its stream is cut. Slow and
// fast envelopes (entries lasting thousands of samples down to a fraction
// of one, across the wrap of the phase), slow and fast noise, every voice
// busy.
TEST_F(GeneratorTest, AStreamCutIntoLongRunsEqualsOneSampleAtATime)
{
    struct Case {
        uint8_t envelopeLow, envelopeHigh, shape, noisePeriod;
    };
    const Case cases[] = {{0xE8, 0x03, 8, 31}, {0x00, 0x01, 10, 0}, {0x10, 0x00, 14, 1},
                          {0x05, 0x00, 12, 7}, {0x01, 0x00, 8, 16}, {0xFF, 0xFF, 11, 2}};
    for (const Case& c : cases) {
        const RawFrame frame{.periodA = 300,
                             .periodB = 31,
                             .periodC = 2047,
                             .noisePeriod = c.noisePeriod,
                             .mixer = 0x00,
                             .volumeA = 0x10,
                             .volumeB = 9,
                             .volumeC = 0x1F,
                             .envelopeLow = c.envelopeLow,
                             .envelopeHigh = c.envelopeHigh,
                             .shape = c.shape};
        auto stream = [&](std::initializer_list<int> cuts) {
            RestorePlayerStartState();
            LoadOneFrame(frame);
            // The envelope's phase put exactly 3000 steps before its wrap,
            // so that a run meets an entry's end on a sample.
            Player.envelopePhase = 0u - 3000u * EnvelopeStep(c.envelopeHigh << 8 | c.envelopeLow);
            std::vector<int32_t> samples;
            for (int total = 0; total < 40000;) {
                for (int cut : cuts) {
                    GenerateBlock(0, cut);
                    for (int i = 0; i < cut; ++i) {
                        samples.push_back(Player.noiseBlock[i]);
                        samples.push_back(Player.envelopeBlock[i]);
                        for (int v = 0; v < VoiceCount; ++v) samples.push_back(Player.toneBlocks[v][i]);
                    }
                    total += cut;
                }
            }
            return samples;
        };
        const std::vector<int32_t> bySample = stream({1});
        for (const std::vector<int32_t>& cut : {stream({MaxRunSamples}), stream({896, 7, 1000, 33, 64})}) {
            ASSERT_GE(cut.size(), bySample.size());
            EXPECT_TRUE(std::equal(bySample.begin(), bySample.end(), cut.begin()))
                << "envelope period " << (c.envelopeHigh << 8 | c.envelopeLow);
        }
    }
}

}   // namespace
