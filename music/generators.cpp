#include "music/generators.h"

#include <algorithm>
#include <cstring>

#include "base/arith.h"
#include "music/player_state.h"

namespace {

// Shape number (low 4 bits of register 13) to pattern.
constexpr EnvelopePattern EnvelopeShapeTable[16] = {
    DecayPattern,
    DecayPattern,
    DecayPattern,
    DecayPattern,
    AttackPattern,
    AttackPattern,
    AttackPattern,
    AttackPattern,
    FallingSawPattern,
    DecayPattern,
    TriangleDownFirstPattern,
    DecayHoldHighPattern,
    RisingSawPattern,
    AttackHoldHighPattern,
    TriangleUpFirstPattern,
    AttackPattern,
};

// The companion square of a fixed-level voice gains this much per sample on
// the main one, so the pulse width sweeps once every 2^32 / 2^18 = 16384
// samples whatever the pitch.
constexpr uint32_t DetuneStep = 262144;

// Four lanes of 32-bit integers; without vector instructions the compiler
// lowers them to plain scalar code.
using Int4 = int32_t __attribute__((vector_size(16)));
using UInt4 = uint32_t __attribute__((vector_size(16)));

template <typename Compute>
uint32_t StepFor(RememberedStep& remembered, uint32_t period, Compute compute)
{
    if (!remembered.known || remembered.period != period) remembered = {true, period, compute()};
    return remembered.step;
}

[[gnu::always_inline]] inline void GenerateNoise(int32_t start, int32_t count)
{
    const int32_t period = Player.chip.noisePeriod;
    const uint32_t step = StepFor(Player.noiseStep, static_cast<uint32_t>(period),
                                  [period] { return NoiseStep(period); });
    const int16_t* table = Player.scaledNoise;
    int16_t* out = Player.noiseBlock + start;
    uint32_t phase = Player.noisePhase;
    // Two phases a step apart, each stepping twice: two independent chains.
    const int32_t pairs = count & ~1;
    uint32_t odd = phase + step;
    const uint32_t step2 = step * 2u;
    for (int32_t i = 0; i < pairs; i += 2) {
        out[i] = table[(phase >> 16) & (NoiseTableSize - 1)];
        out[i + 1] = table[(odd >> 16) & (NoiseTableSize - 1)];
        phase += step2;
        odd += step2;
    }
    if (pairs < count) {
        out[pairs] = table[(phase >> 16) & (NoiseTableSize - 1)];
        phase += step;
    }
    Player.noisePhase = phase;
}

[[gnu::always_inline]] inline void GenerateEnvelope(int32_t start, int32_t count)
{
    const int32_t period = Player.chip.envelopePeriod;
    const uint32_t step = StepFor(Player.envelopeStep, static_cast<uint32_t>(period),
                                  [period] { return EnvelopeStep(period); });
    const int32_t* pattern = Player.envelopePatterns[Player.envelopePattern].data();
    int32_t* out = Player.envelopeBlock + start;
    uint32_t phase = Player.envelopePhase;
    const uint64_t lastPhase = phase + static_cast<uint64_t>(step) * static_cast<uint32_t>(count - 1);
    if (lastPhase >> 26 == phase >> 26) {
        // The usual case: the whole run lies within one pattern entry.
        const int32_t level = pattern[phase >> 26];
        const Int4 level4 = Int4{} + level;
        int32_t i = 0;
        for (; i + 4 <= count; i += 4) std::memcpy(out + i, &level4, sizeof level4);
        std::fill(out + i, out + count, level);
        Player.envelopePhase = phase + step * static_cast<uint32_t>(count);
        Player.envelopeHeld = true;
        return;
    }
    Player.envelopeHeld = false;
    if (step < (1u << 26) / 16) {
        // Entries that last 16 samples or more: entry by entry, each until
        // the phase reaches the next multiple of 2^26 (the last entry's end,
        // 2^32, is where the phase wraps).
        int32_t i = 0;
        while (i < count) {
            const uint64_t entryEnd = (uint64_t{phase >> 26} + 1) << 26;
            const uint64_t samplesLeft = (entryEnd - phase + step - 1) / step;
            const int32_t length = static_cast<int32_t>(std::min<uint64_t>(samplesLeft, count - i));
            std::fill(out + i, out + i + length, pattern[phase >> 26]);
            phase += step * static_cast<uint32_t>(length);
            i += length;
        }
        Player.envelopePhase = phase;
        return;
    }
    // Faster ones: the entries of four samples at a time in vector lanes,
    // the pattern reads one by one.
    const int32_t whole = count & ~3;
    UInt4 phase4 = phase + UInt4{0, 1, 2, 3} * step;
    const UInt4 step4 = UInt4{} + step * 4u;
    for (int32_t i = 0; i < whole; i += 4) {
        const UInt4 entry = phase4 >> 26;
        out[i] = pattern[entry[0]];
        out[i + 1] = pattern[entry[1]];
        out[i + 2] = pattern[entry[2]];
        out[i + 3] = pattern[entry[3]];
        phase4 += step4;
    }
    phase += step * static_cast<uint32_t>(whole);
    for (int32_t i = whole; i < count; ++i) {
        out[i] = pattern[phase >> 26];
        phase += step;
    }
    Player.envelopePhase = phase;
}

[[gnu::always_inline]] inline void GenerateTone(Voice& voice, RememberedStep& remembered, int32_t* out, int32_t count)
{
    const uint32_t period = voice.period;
    const uint32_t step = StepFor(remembered, period, [period] { return ToneStep(period); });
    uint32_t phase = voice.phase;
    // Four samples at a time: lane k runs k steps ahead and every lane moves
    // four steps, wrapping modulo 2^32 exactly as one phase stepped four times.
    const int32_t whole = count & ~3;
    const UInt4 lanes = UInt4{0, 1, 2, 3} * step;
    const UInt4 step4 = UInt4{} + step * 4u;
    if (voice.envelopeMode) {
        // A plain 50 % square: the sign of the phase.
        UInt4 phase4 = phase + lanes;
        for (int32_t i = 0; i < whole; i += 4) {
            const Int4 square = reinterpret_cast<Int4>(phase4) >> 31;
            std::memcpy(out + i, &square, sizeof square);
            phase4 += step4;
        }
        phase += step * static_cast<uint32_t>(whole);
        for (int32_t i = whole; i < count; ++i) {
            out[i] = static_cast<int32_t>(phase) >> 31;
            phase += step;
        }
    } else {
        // High only while both squares are in their upper half.
        uint32_t second = voice.secondPhase;
        const uint32_t secondStep = step + DetuneStep;
        UInt4 phase4 = phase + lanes;
        UInt4 second4 = second + UInt4{0, 1, 2, 3} * secondStep;
        const UInt4 secondStep4 = UInt4{} + secondStep * 4u;
        for (int32_t i = 0; i < whole; i += 4) {
            const Int4 square = (reinterpret_cast<Int4>(phase4) >> 31) & (reinterpret_cast<Int4>(second4) >> 31);
            std::memcpy(out + i, &square, sizeof square);
            phase4 += step4;
            second4 += secondStep4;
        }
        phase += step * static_cast<uint32_t>(whole);
        second += secondStep * static_cast<uint32_t>(whole);
        for (int32_t i = whole; i < count; ++i) {
            out[i] = (static_cast<int32_t>(phase) >> 31) & (static_cast<int32_t>(second) >> 31);
            phase += step;
            second += secondStep;
        }
        voice.secondPhase = second;
    }
    voice.phase = phase;
}

}   // namespace

uint32_t ToneStep(uint32_t period)
{
    const uint32_t p = period & 0xFFF;
    if (p == 0) return 0;
    // 2^32 * 125,000 / 44,100 as a single-precision constant; periods 1 and 2
    // exceed 2^32 and keep the low word.
    return TruncLow32(12173943808.0 / p);
}

uint32_t EnvelopeStep(int32_t period)
{
    const int32_t p = period & 0xFFFF;
    if (p == 0) return 0;
    // 2^26 * 125,000, times 1/44,100 as a single-precision constant.
    return TruncLow32((8388608000000.0 / p) * 2.2675736545352265e-5);
}

uint32_t NoiseStep(int32_t noisePeriod)
{
    // 2^16 * 125,000 / 44,100 rounded down.
    return 185759u / static_cast<uint32_t>(noisePeriod + 1);
}

void ResetPlayer()
{
    for (Voice& voice : Player.voices) voice = Voice{};
    Player.chip.mixer = 255;
    Player.chip.noisePeriod = 0;
    // The tone blocks as far as a run ever reaches.
    for (auto& block : Player.toneBlocks) std::memset(block, 0, MaxRunSamples * sizeof block[0]);
}

void BuildNoiseTable()
{
    uint32_t s = Player.noiseGeneratorState;
    for (int32_t& entry : Player.NoiseTable) {
        s = s * 196314165u + 907633515u;
        // The low 14 bits run through all 16384 values in one period, so the
        // table is a permutation of -8192..8191 divided by 4.
        entry = (static_cast<int32_t>(s & 0x3FFF) - 8192) / 4;
    }
    for (int32_t i = 0; i < NoiseTableSize; ++i)
        Player.scaledNoise[i] = static_cast<int16_t>(Player.NoiseTable[i] * 16);
    Player.noiseGeneratorState = s;
}

void PrepareLevelTables()
{
    for (int32_t& amplitude : Player.VolumeTable) amplitude /= 2;
    for (int32_t& entry : Player.envelopePatterns[StartPattern]) entry = entry != 0 ? -1 : 0;
    for (int p = 0; p < EnvelopePatternCount; ++p) {
        if (p == StartPattern) continue;
        for (int32_t& entry : Player.envelopePatterns[p]) entry = Player.VolumeTable[entry & 15];
    }
}

void RestartEnvelope(uint32_t shape)
{
    Player.envelopePattern = EnvelopeShapeTable[shape & 15];
    Player.envelopePhase = 0;
}

void GenerateBlock(int32_t start, int32_t count)
{
    if (count <= 0) return;
    GenerateNoise(start, count);
    GenerateEnvelope(start, count);
    for (int v = 0; v < VoiceCount; ++v)
        GenerateTone(Player.voices[v], Player.toneSteps[v], Player.toneBlocks[v] + start, count);
}
