// The song as read from a score: instruments, drums, tracks and the order
// list. ParseScore turns the text into this; RenderSong (song_render.h)
// turns it into register frames.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace songc {

// A malformed score, with the line it was found on (0 when no single line is
// to blame).
struct ScoreError : std::runtime_error {
    int line;
    ScoreError(int atLine, const std::string& message) : std::runtime_error(message), line(atLine) {}
};

// A per-frame sequence. Past its end it repeats from `loop` when loop >= 0,
// otherwise it holds its last value.
struct Sequence {
    std::vector<int> values;
    int loop = -1;

    bool Empty() const { return values.empty(); }
    int Length() const { return static_cast<int>(values.size()); }
    int At(int frame, int fallback) const;
};

// Volume sequence entries: the low 4 bits are the fixed level, this bit puts
// the voice in envelope mode (the level then only scales the noise).
constexpr int EnvelopeModeBit = 0x10;
constexpr int NoiseOff = -1;

struct Instrument {
    std::string name;
    int line = 0;
    bool drum = false;
    int channel = -1;         // drums: the voice they take over (0 = A)
    int fixedNote = -1;       // drums: the note they always play
    Sequence volume;          // 0..15, plus EnvelopeModeBit
    Sequence release;         // volume after a note-off; empty: silent at once
    Sequence arp;             // semitone offsets
    Sequence pitch;           // tone period offsets
    Sequence noise;           // noise period 0..31 or NoiseOff
    Sequence tone;            // 1 tone on, 0 off
    int arpSpeed = 1;         // frames per step of a row's arpeggio chord
    int envelopeShape = -1;   // -1: the instrument never uses the envelope
    int envelopePeriod = 0;   // a fixed envelope period, or
    int envelopeRatio = 0;    // envelope period = tone period / ratio, rounded
    int vibratoDelay = 0;     // frames before the vibrato starts
    int vibratoDepth = 0;     // cents either side
    int vibratoPeriod = 0;    // frames per vibrato cycle
};

struct Cell {
    enum Kind { Empty, Note, Release, Cut };
    Kind kind = Empty;
    int note = 0;             // semitone number, A-4 = 69
    int instrument = -1;      // index into Score::instruments, -1: keep the last one
    int volumeCap = 15;       // row volume: 15 plays the instrument as written
    std::vector<int> chord;   // arpeggio offsets of the row, 0 first; empty: none
    int line = 0;
};

struct Track {
    std::string name;
    bool drums = false;
    int line = 0;
    std::vector<Cell> rows;
};

constexpr int ColumnCount = 4;   // voices A, B, C and the drum column
constexpr int DrumColumn = 3;

struct OrderStep {
    int track[ColumnCount] = {-1, -1, -1, -1};   // -1: the column rests
    int transpose[ColumnCount] = {};
    int line = 0;
};

struct Score {
    std::string title;
    std::vector<int> rowFrames = {6};   // frames per row, cycled (a groove)
    std::vector<Instrument> instruments;
    std::vector<Track> tracks;
    std::vector<OrderStep> order;
};

// Parses a whole score. Throws ScoreError naming the offending line; a
// control code (other than tab and line ends) anywhere is one.
Score ParseScore(std::string_view text);

// Semitone number of a note name such as "A-4", "C#3" or "Bb2" (A-4 = 69),
// or -1 when the text is not a note.
int ParseNoteName(std::string_view text);

}   // namespace songc
