#include "music/mixer.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "music/generators.h"
#include "music/player_state.h"

namespace {

constexpr int32_t MixOffset = 0x4000;   // tones are unipolar, added on a fixed offset
constexpr uint32_t EchoMask = EchoHistorySize - 1;
constexpr uint32_t LongEchoDelay = 12000;   // 272.1 ms, at 170 / 1024
constexpr uint32_t ShortEchoDelay = 3000;   // 68.0 ms, at 240 / 1024
constexpr int32_t LongEchoGain = 170;
constexpr int32_t ShortEchoGain = 240;
constexpr int32_t SampleLimit = 32767;   // symmetric: the lower bound is -32767

}   // namespace

namespace {

// The per-voice terms of the mix, from the registers: see MixBlock.
struct MixTerms {
    int32_t envelopeMask[VoiceCount];
    int32_t fixedLevel[VoiceCount];
    int32_t toneOffMask[VoiceCount];
    int32_t noiseFactor[VoiceCount];
};

// `length` samples from entry `from` of the generator blocks, over which
// none of the three history positions wraps, one by one.
void MixPiece(int16_t* out, int32_t from, int32_t length, const MixTerms& terms)
{
    const uint32_t counter = Player.sampleCounter;
    int16_t* written = Player.EchoHistory + (counter & EchoMask);
    const int16_t* farOutput = Player.EchoHistory + ((counter - LongEchoDelay) & EchoMask);
    const int16_t* nearOutput = Player.EchoHistory + ((counter - ShortEchoDelay) & EchoMask);
    const int16_t* noise = Player.noiseBlock + from;
    const int32_t* envelope = Player.envelopeBlock + from;
    const int32_t* toneA = Player.toneBlocks[0] + from;
    const int32_t* toneB = Player.toneBlocks[1] + from;
    const int32_t* toneC = Player.toneBlocks[2] + from;
    const int32_t* envelopeMask = terms.envelopeMask;
    const int32_t* fixedLevel = terms.fixedLevel;
    const int32_t* toneOffMask = terms.toneOffMask;
    const int32_t* noiseFactor = terms.noiseFactor;
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
        const int32_t dry = ((voices + noises - MixOffset) * MasterVolume) >> 8;
        // The history holds outputs, so the echo feeds back on itself.
        int32_t y = (dry * 1024 + LongEchoGain * farOutput[i] + ShortEchoGain * nearOutput[i]) >> 10;
        y = std::clamp(y, -SampleLimit, SampleLimit);
        written[i] = static_cast<int16_t>(y);
        out[i] = static_cast<int16_t>(y);
    }
    Player.sampleCounter = counter + static_cast<uint32_t>(length);
}

}   // namespace

#if defined(__SSE2__)
namespace {

// MixPiece for a multiple of eight samples, eight at a time. The echo taps
// lie 3000 and 12000 samples back, far more than the eight of a group, so
// every output a group's taps read was stored before: the group can be mixed
// lane by lane. The noise terms are
// the high halves of 16-bit products (noise times 16, amplitudes at most
// 32767), and their sum fits 16 bits where the noise amplitudes add up to
// at most 65534 (MixBlock checks: a loaded song's are at most 3 x 16383).
// The echo's products fit 16-bit factors too (the history is 16 bits), one
// multiply-add of (far, near) pairs. Packing to 16 bits with saturation and
// a maximum with -32767 is the clamp.
void MixPieceInLanes(int16_t* out, int32_t from, int32_t length, const MixTerms& terms)
{
    static_assert(MasterVolume == 256, "the master volume is applied as a shift by 8");
    auto load = [](const int32_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    // With one envelope level over the whole run, (E & envelopeMask) |
    // fixedLevel is one number per voice.
    const bool held = Player.envelopeHeld;
    const int32_t heldLevel = Player.envelopeBlock[0];
    __m128i envelopeM[VoiceCount], fixed[VoiceCount], toneOff[VoiceCount], factor[VoiceCount];
    for (int v = 0; v < VoiceCount; ++v) {
        const int32_t envelopeMask = terms.envelopeMask[v], fixedLevel = terms.fixedLevel[v];
        envelopeM[v] = _mm_set1_epi32(envelopeMask);
        fixed[v] = _mm_set1_epi32(held ? (heldLevel & envelopeMask) | fixedLevel : fixedLevel);
        toneOff[v] = _mm_set1_epi32(terms.toneOffMask[v]);
        factor[v] = _mm_set1_epi16(static_cast<int16_t>(terms.noiseFactor[v]));
    }
    const __m128i offset = _mm_set1_epi32(MixOffset);
    const __m128i echoGains = _mm_set1_epi32(ShortEchoGain << 16 | LongEchoGain);
    const __m128i lowest = _mm_set1_epi16(-SampleLimit);

    const uint32_t counter = Player.sampleCounter;
    int16_t* written = Player.EchoHistory + (counter & EchoMask);
    const int16_t* farOutput = Player.EchoHistory + ((counter - LongEchoDelay) & EchoMask);
    const int16_t* nearOutput = Player.EchoHistory + ((counter - ShortEchoDelay) & EchoMask);
    const int32_t* tones[VoiceCount] = {Player.toneBlocks[0] + from, Player.toneBlocks[1] + from,
                                        Player.toneBlocks[2] + from};
    const int32_t* envelope = Player.envelopeBlock + from;
    const int16_t* noise = Player.noiseBlock + from;
    auto mixFour = [&](int32_t i, bool heldBlock, __m128i noises, __m128i taps) {
        __m128i sum = _mm_sub_epi32(noises, offset);
        for (int v = 0; v < VoiceCount; ++v) {
            const __m128i q = load(tones[v] + i);
            const __m128i level = heldBlock ? fixed[v]
                                            : _mm_or_si128(_mm_and_si128(load(envelope + i), envelopeM[v]), fixed[v]);
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
        const __m128i n = load16(noise + i);
        const __m128i noises = _mm_add_epi16(
            _mm_add_epi16(_mm_mulhi_epi16(n, factor[0]), _mm_mulhi_epi16(n, factor[1])), _mm_mulhi_epi16(n, factor[2]));
        const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(noises, noises), 16);
        const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(noises, noises), 16);
        const __m128i samples = _mm_max_epi16(
            _mm_packs_epi32(mixFour(i, heldBlock, low, _mm_unpacklo_epi16(far, near)),
                            mixFour(i + 4, heldBlock, high, _mm_unpackhi_epi16(far, near))),
            lowest);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), samples);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(written + i), samples);
    };
    if (held) {
        for (int32_t i = 0; i < length; i += 8) mixEight(i, true);
    } else {
        for (int32_t i = 0; i < length; i += 8) mixEight(i, false);
    }
    Player.sampleCounter = counter + static_cast<uint32_t>(length);
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
    MixTerms terms;
    for (int v = 0; v < VoiceCount; ++v) {
        const Voice& voice = Player.voices[v];
        const int32_t toneMask = -static_cast<int32_t>(voice.toneEnable);
        const int32_t amplitude = Player.VolumeTable[voice.volume & 15];
        terms.envelopeMask[v] = -static_cast<int32_t>(voice.envelopeMode);
        terms.fixedLevel[v] = amplitude & ~terms.envelopeMask[v] & toneMask;
        terms.toneOffMask[v] = ~toneMask;
        // A voice without noise multiplies it by 0, which gives 0 after the shift.
        terms.noiseFactor[v] = voice.noiseEnable ? amplitude : 0;
    }
#if defined(__SSE2__)
    // Noise amplitudes that add up to at most 65534 (a loaded song's always
    // do) fit the lanes' 16-bit noise sum.
    const bool inLanes = terms.noiseFactor[0] + terms.noiseFactor[1] + terms.noiseFactor[2] <= 65534;
#endif

    // In pieces over which none of the three history positions wraps.
    for (int32_t done = 0; done < count;) {
        const uint32_t counter = Player.sampleCounter;
        const int32_t piece = static_cast<int32_t>(
            std::min({static_cast<uint32_t>(count - done), EchoHistorySize - (counter & EchoMask),
                      EchoHistorySize - ((counter - LongEchoDelay) & EchoMask),
                      EchoHistorySize - ((counter - ShortEchoDelay) & EchoMask)}));
        int32_t lanes = 0;
#if defined(__SSE2__)
        if (inLanes) {
            lanes = piece & ~7;
            MixPieceInLanes(out + done, done, lanes, terms);
        }
#endif
        MixPiece(out + done + lanes, done + lanes, piece - lanes, terms);
        done += piece;
    }
}
