#include "music/mixer.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "music/generators.h"
#include "music/player.h"
#include "music/player_state.h"
#include "music/song_decoder.h"

namespace {

constexpr int32_t MixOffset = 0x4000;   // tones are unipolar, added on a fixed offset
constexpr uint32_t EchoMask = EchoHistorySize - 1;
constexpr uint32_t LongEchoDelay = 12000;   // 272.1 ms, at 170 / 1024
constexpr uint32_t ShortEchoDelay = 3000;   // 68.0 ms, at 240 / 1024
constexpr int32_t LongEchoGain = 170;
constexpr int32_t ShortEchoGain = 240;
constexpr int32_t SampleLimit = 32767;   // symmetric: the lower bound is -32767

}   // namespace

void FrameTick()
{
    Player.tickAccumulator += TickStep;
    if (Player.tickAccumulator & 0x80000000u) {
        Player.tickAccumulator &= 0x7FFFFFFFu;
        DecodeFrame();
    }
}

#if defined(__SSE2__)
namespace {

// MixBlock for one whole block of 32 samples, eight at a time. The echo
// taps lie 3000 and 12000 samples back, so no output of the block feeds the
// block itself, and a block can be mixed lane by lane. The noise terms are
// the high halves of 16-bit products (noise times 16, amplitudes at most
// 32767), and their sum fits 16 bits where the noise amplitudes add up to
// at most 65534 (MixBlock checks: a loaded song's are at most 3 x 16383).
// The echo's products fit 16-bit factors too (the history is 16 bits), one
// multiply-add of (far, near) pairs. Packing to 16 bits with saturation and
// a maximum with -32767 is the clamp.
void MixWholeBlock(int16_t* out, const int32_t* noiseFactor, const int32_t* envelopeMask, const int32_t* fixedLevel,
                   const int32_t* toneOffMask)
{
    static_assert(MasterVolume == 256, "the master volume is applied as a shift by 8");
    auto load = [](const int32_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    // With one envelope level over the whole block, (E & envelopeMask) |
    // fixedLevel is one number per voice.
    const bool held = Player.envelopeHeld;
    const int32_t heldLevel = Player.envelopeBlock[0];
    __m128i envelopeM[VoiceCount], fixed[VoiceCount], toneOff[VoiceCount], factor[VoiceCount];
    for (int v = 0; v < VoiceCount; ++v) {
        envelopeM[v] = _mm_set1_epi32(envelopeMask[v]);
        fixed[v] = _mm_set1_epi32(held ? (heldLevel & envelopeMask[v]) | fixedLevel[v] : fixedLevel[v]);
        toneOff[v] = _mm_set1_epi32(toneOffMask[v]);
        factor[v] = _mm_set1_epi16(static_cast<int16_t>(noiseFactor[v]));
    }
    const __m128i offset = _mm_set1_epi32(MixOffset);
    const __m128i echoGains = _mm_set1_epi32(ShortEchoGain << 16 | LongEchoGain);
    const __m128i lowest = _mm_set1_epi16(-SampleLimit);

    const uint32_t counter = Player.sampleCounter;
    int16_t* written = Player.EchoHistory + (counter & EchoMask);
    const int16_t* farOutput = Player.EchoHistory + ((counter - LongEchoDelay) & EchoMask);
    const int16_t* nearOutput = Player.EchoHistory + ((counter - ShortEchoDelay) & EchoMask);
    auto mixFour = [&](int32_t i, bool heldBlock, __m128i noises, __m128i taps) {
        __m128i sum = _mm_sub_epi32(noises, offset);
        for (int v = 0; v < VoiceCount; ++v) {
            const __m128i q = load(Player.toneBlocks[v] + i);
            const __m128i level = heldBlock ? fixed[v]
                                            : _mm_or_si128(_mm_and_si128(load(Player.envelopeBlock + i), envelopeM[v]),
                                                           fixed[v]);
            sum = _mm_add_epi32(sum, _mm_and_si128(level, _mm_or_si128(q, toneOff[v])));
        }
        // The dry sample is the sum's low 24 bits sign-extended (the master
        // volume of 256 and the shift back by 8); times 1024 it agrees with
        // the sum times 1024 in all 32 bits, so the sum is shifted directly.
        // The taps come as (far, near) 16-bit pairs, times (170, 240) and added.
        return _mm_srai_epi32(_mm_add_epi32(_mm_slli_epi32(sum, 10), _mm_madd_epi16(taps, echoGains)), 10);
    };
    auto load16 = [](const int16_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    auto mixEight = [&](int32_t i, bool heldBlock) {
        const __m128i far = load16(farOutput + i), near = load16(nearOutput + i);
        const __m128i n = load16(Player.noiseBlock + i);
        const __m128i noises = _mm_add_epi16(_mm_add_epi16(_mm_mulhi_epi16(n, factor[0]), _mm_mulhi_epi16(n, factor[1])),
                                             _mm_mulhi_epi16(n, factor[2]));
        const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(noises, noises), 16);
        const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(noises, noises), 16);
        const __m128i samples =
            _mm_max_epi16(_mm_packs_epi32(mixFour(i, heldBlock, low, _mm_unpacklo_epi16(far, near)),
                                          mixFour(i + 4, heldBlock, high, _mm_unpackhi_epi16(far, near))),
                          lowest);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), samples);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(written + i), samples);
    };
    if (held) {
        for (int32_t i = 0; i < BlockSamples; i += 8) mixEight(i, true);
    } else {
        for (int32_t i = 0; i < BlockSamples; i += 8) mixEight(i, false);
    }
    Player.sampleCounter = counter + BlockSamples;
}

}   // namespace
#endif

void MixBlock(int16_t* out, int32_t count)
{
    // Per voice, the enable flags become masks so that the sample loop has no
    // branches: the voice term is
    //   tone and envelope:  E & Q     tone only:  amplitude & Q
    //   envelope only:      E         neither:    0
    // which is ((E & envelopeMask) | fixedLevel) & (Q | toneOffMask).
    int32_t amplitude[VoiceCount], envelopeMask[VoiceCount], fixedLevel[VoiceCount];
    int32_t toneOffMask[VoiceCount], noiseFactor[VoiceCount];
    for (int v = 0; v < VoiceCount; ++v) {
        const Voice& voice = Player.voices[v];
        const int32_t toneMask = -static_cast<int32_t>(voice.toneEnable);
        amplitude[v] = Player.VolumeTable[voice.volume & 15];
        envelopeMask[v] = -static_cast<int32_t>(voice.envelopeMode);
        fixedLevel[v] = amplitude[v] & ~envelopeMask[v] & toneMask;
        toneOffMask[v] = ~toneMask;
        // A voice without noise multiplies it by 0, which gives 0 after the shift.
        noiseFactor[v] = voice.noiseEnable ? amplitude[v] : 0;
    }

#if defined(__SSE2__)
    // A whole block whose history runs do not wrap (all but one block in a
    // thousand) goes in vector lanes, its noise amplitudes being those of a
    // loaded song; the others take the loop below.
    const uint32_t counter = Player.sampleCounter;
    const uint32_t last = counter + BlockSamples - 1;
    if (count == BlockSamples && noiseFactor[0] + noiseFactor[1] + noiseFactor[2] <= 65534 &&
        (counter & EchoMask) <= (last & EchoMask) &&
        ((counter - LongEchoDelay) & EchoMask) <= ((last - LongEchoDelay) & EchoMask) &&
        ((counter - ShortEchoDelay) & EchoMask) <= ((last - ShortEchoDelay) & EchoMask)) {
        MixWholeBlock(out, noiseFactor, envelopeMask, fixedLevel, toneOffMask);
        return;
    }
#endif

    int16_t* history = Player.EchoHistory;
    for (int32_t done = 0; done < count;) {
        // The mix before the echo, for up to one block.
        alignas(64) int32_t dry[BlockSamples];
        const int32_t length = std::min(count - done, BlockSamples);
        const int16_t* noise = Player.noiseBlock + done;
        const int32_t* envelope = Player.envelopeBlock + done;
        const int32_t* toneA = Player.toneBlocks[0] + done;
        const int32_t* toneB = Player.toneBlocks[1] + done;
        const int32_t* toneC = Player.toneBlocks[2] + done;
        for (int32_t i = 0; i < length; ++i) {
            const int32_t e = envelope[i];
            const int32_t n = noise[i];
            const int32_t voices = (((e & envelopeMask[0]) | fixedLevel[0]) & (toneA[i] | toneOffMask[0])) +
                                   (((e & envelopeMask[1]) | fixedLevel[1]) & (toneB[i] | toneOffMask[1])) +
                                   (((e & envelopeMask[2]) | fixedLevel[2]) & (toneC[i] | toneOffMask[2]));
            // The noise always takes the voice's fixed amplitude, envelope or
            // not: (noise * amplitude) >> 12, the noise being held times 16.
            const int32_t noises = ((n * noiseFactor[0]) >> 16) + ((n * noiseFactor[1]) >> 16) +
                                   ((n * noiseFactor[2]) >> 16);
            dry[i] = ((voices + noises - MixOffset) * MasterVolume) >> 8;
        }

        // The echo, in runs over which none of the three history positions
        // wraps. The history holds outputs, so the echo feeds back on itself.
        for (int32_t i = 0; i < length;) {
            const uint32_t counter = Player.sampleCounter;
            const uint32_t at = counter & EchoMask;
            const uint32_t far = (counter - LongEchoDelay) & EchoMask;
            const uint32_t near = (counter - ShortEchoDelay) & EchoMask;
            const int32_t run = static_cast<int32_t>(std::min({static_cast<uint32_t>(length - i), EchoHistorySize - at,
                                                               EchoHistorySize - far, EchoHistorySize - near}));
            int16_t* written = history + at;
            const int16_t* farOutput = history + far;
            const int16_t* nearOutput = history + near;
            const int32_t* mix = dry + i;
            int16_t* samples = out + done + i;
            for (int32_t j = 0; j < run; ++j) {
                int32_t y = (mix[j] * 1024 + LongEchoGain * farOutput[j] + ShortEchoGain * nearOutput[j]) >> 10;
                y = std::clamp(y, -SampleLimit, SampleLimit);
                written[j] = static_cast<int16_t>(y);
                samples[j] = static_cast<int16_t>(y);
            }
            Player.sampleCounter = counter + static_cast<uint32_t>(run);
            i += run;
        }
        done += length;
    }
}

int FillCallback(int16_t* samples, uint32_t bytes)
{
    if (--Player.startCountdown > 0) return 0;
    Player.startCountdown = -1;

    const int32_t n = static_cast<int32_t>(bytes >> 1);
    const int32_t r = Player.blockRemainder;
    if (n < r) {
        // The request ends inside the block the last tick began.
        GenerateBlock(0, n);
        MixBlock(samples, n);
        Player.blockRemainder = r - n;
        return 0;
    }
    if (r > 0) {
        GenerateBlock(0, r);
        MixBlock(samples, r);
        samples += r;
    }
    const int32_t m = n - r;
    for (int32_t k = m / BlockSamples; k > 0; --k) {
        FrameTick();
        GenerateBlock(0, BlockSamples);
        MixBlock(samples, BlockSamples);
        samples += BlockSamples;
    }
    // Begins the block that the rest of this request and the next one use.
    FrameTick();
    const int32_t q = m & (BlockSamples - 1);
    if (q > 0) {
        GenerateBlock(0, q);
        MixBlock(samples, q);
    }
    Player.blockRemainder = BlockSamples - q;
    return 0;
}
