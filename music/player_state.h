// Everything the music player keeps between calls, in one record.
//
// The song file, the chip registers it drives, the generator phases and
// tables, the sample blocks the generators fill and the mixer reads, and the
// sample clock with its echo history. The main thread fills it in LoadSong;
// after that only the sound thread touches it.
#pragma once

#include <array>
#include <cstdint>

#include "music/song_format.h"

constexpr int32_t NoiseTableSize = 16384;
constexpr int32_t EnvelopePatternLength = 64;
constexpr int32_t NoiseBlockSize = 4096;
constexpr int32_t EnvelopeBlockSize = 4160;
constexpr int32_t ToneBlockSize = 32768;
constexpr int32_t EchoHistorySize = 32768;
constexpr int32_t VoiceCount = 3;

constexpr int32_t BlockSamples = 32;   // samples between two ticks of the clock
// The longest stretch generated and mixed in one go: the player's runs end
// at the tick that decodes the next frame, 28 blocks (896 samples) apart.
constexpr int32_t MaxRunSamples = 1024;
static_assert(MaxRunSamples <= NoiseBlockSize && MaxRunSamples <= EnvelopeBlockSize && MaxRunSamples <= ToneBlockSize);
constexpr int32_t StartCountdown = 10;   // the first 9 FillCallback calls write nothing
constexpr int32_t MasterVolume = 256;    // 256 is unity
// 1558264 = 2^31 * 32 / 44,100 rounded down: added once per 32 samples, the
// accumulator crosses 2^31 ReplayRate times a second.
constexpr uint32_t TickStep = ReplayRate * 1558264u;   // 77913200

// The envelope patterns, in the order they are stored; StartPattern is the
// all-on mask in force until the song writes its first shape.
enum EnvelopePattern : int32_t {
    DecayPattern,
    AttackPattern,
    FallingSawPattern,
    RisingSawPattern,
    TriangleDownFirstPattern,
    TriangleUpFirstPattern,
    DecayHoldHighPattern,
    AttackHoldHighPattern,
    StartPattern,
    EnvelopePatternCount
};

using EnvelopeLevels = std::array<std::array<int32_t, EnvelopePatternLength>, EnvelopePatternCount>;

// The patterns as levels 0..15 (PrepareLevelTables turns them into amplitudes).
// Each is four runs of 16 steps: falling (15..0), rising (0..15), low (0) or
// high (15).
constexpr EnvelopeLevels EnvelopePatternLevels()
{
    enum Run { Fall, Rise, Low, High };
    constexpr Run runs[EnvelopePatternCount][4] = {
        {Fall, Low, Low, Low},      // decay
        {Rise, Low, Low, Low},      // attack
        {Fall, Fall, Fall, Fall},   // falling saw
        {Rise, Rise, Rise, Rise},   // rising saw
        {Fall, Rise, Fall, Rise},   // triangle, down first
        {Rise, Fall, Rise, Fall},   // triangle, up first
        {Fall, High, High, High},   // decay, then hold high
        {Rise, High, High, High},   // attack, then hold high
        {High, High, High, High},   // start: every entry on
    };
    EnvelopeLevels levels{};
    for (int p = 0; p < EnvelopePatternCount; ++p) {
        for (int run = 0; run < 4; ++run) {
            for (int step = 0; step < 16; ++step) {
                const int32_t level = runs[p][run] == Fall   ? 15 - step
                                      : runs[p][run] == Rise ? step
                                      : runs[p][run] == High ? 15
                                                             : 0;
                levels[p][run * 16 + step] = level;
            }
        }
    }
    return levels;
}

// The chip registers that are not held per voice.
struct ChipRegisters {
    uint8_t tonePeriodBytes[6] = {};   // registers 0..5 as last received (delta songs)
    int32_t noisePeriod = 0;           // 0..31 after every frame
    uint8_t mixer = 255;               // bit v: tone v off; bit 3+v: noise v off
    int32_t envelopePeriodLow = 0;
    int32_t envelopePeriodHigh = 0;
    int32_t envelopePeriod = 0;   // high * 256 + low
    int32_t envelopeShape = 0;    // last shape byte received
};

// One tone voice (A, B, C).
struct Voice {
    uint32_t phase = 0;         // bit 31 is the square wave
    uint32_t secondPhase = 0;   // the detuned companion square of a fixed-level voice
    uint8_t noiseEnable = 0;
    uint8_t toneEnable = 0;
    uint8_t envelopeMode = 0;   // 1: the level comes from the envelope
    uint16_t period = 0;        // only the low 12 bits reach the generator
    int32_t volume = 0;         // register byte; low 4 bits are the fixed level
};

// The last period a generator turned into a step, and that step: a step
// costs a division, and periods change only when a frame is decoded.
struct RememberedStep {
    bool known = false;
    uint32_t period = 0;
    uint32_t step = 0;
};

struct PlayerState {
    // Defined out of line so that the static instance is built at start-up
    // into zeroed storage rather than stored whole in the executable.
    PlayerState();

    // Song file.
    int32_t songSize = 0;       // bytes loaded (capped at the buffer), -1 if unreadable
    int32_t readPosition = 0;   // where the next frame starts
    int32_t compressed = 0;     // 1 for the delta format

    // Registers written by the decoder.
    ChipRegisters chip;
    Voice voices[VoiceCount];

    // Generator tables and state.
    int32_t VolumeTable[16] = {62,   161,  265,  377,  580,  774,   1155,  1575,
                               2260, 3088, 4570, 6233, 9330, 13187, 21220, 32767};
    EnvelopeLevels envelopePatterns = EnvelopePatternLevels();
    int32_t envelopePattern = StartPattern;   // the pattern in force
    uint32_t envelopePhase = 0;               // entry = phase >> 26
    bool envelopeHeld = false;                // the last run lay within one pattern entry
    uint32_t noisePhase = 0;                  // entry = (phase >> 16) & 0x3FFF
    uint32_t noiseGeneratorState = 22222;     // the table builder's generator
    int32_t NoiseTable[NoiseTableSize] = {};
    // NoiseTable times 16 (-32768..32752): the high half of its 16-bit
    // product with an amplitude is then (n * amplitude) >> 12, eight
    // samples to an instruction.
    alignas(64) int16_t scaledNoise[NoiseTableSize] = {};
    RememberedStep toneSteps[VoiceCount];
    RememberedStep envelopeStep;
    RememberedStep noiseStep;

    // Sample blocks: the generators write them from index 0, at most
    // MaxRunSamples at a time, before the mixer reads them, so they start
    // as they are (a static record's zeros) and pages never used stay untouched.
    alignas(64) int16_t noiseBlock[NoiseBlockSize];   // scaledNoise entries
    alignas(64) int32_t envelopeBlock[EnvelopeBlockSize];
    alignas(64) int32_t toneBlocks[VoiceCount][ToneBlockSize];   // 0 or -1

    // Sample clock and mixer.
    uint32_t tickAccumulator = 0x7FFFFFFF;   // the first tick decodes a frame
    int32_t blockRemainder = 0;              // samples still due from the block the last tick began
    int32_t startCountdown = StartCountdown;
    uint32_t sampleCounter = 0;                              // every mixed sample; indexes the history
    alignas(64) int16_t EchoHistory[EchoHistorySize] = {};   // outputs, clamped to 16 bits

    // Last, so that the memory checker's guard zone follows it. Only its
    // first songSize bytes are ever read (the rest reads as zero), and only
    // those are written: a short song leaves most of it untouched.
    uint8_t SongBuffer[SongBufferSize];
};

extern PlayerState Player;

// Puts the whole player back into the state the program starts with, in
// place (the record is far too big for a temporary). Tests begin with it.
void RestorePlayerStartState();
