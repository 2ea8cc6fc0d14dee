// Steps through the order list row by row and frame by frame, runs each
// voice's instrument sequences and merges the three voices into one set of
// chip registers per frame.
#include "song_render.h"

#include <cmath>
#include <string>

namespace songc {

namespace {

constexpr double ToneClock = 125000.0;   // tone periods count at this rate
constexpr int MaxTonePeriod = 4095;

double NoteFrequency(double semitone)
{
    return 440.0 * std::pow(2.0, (semitone - 69.0) / 12.0);
}

const char* ChannelName(int c)
{
    static const char* names[] = {"A", "B", "C"};
    return names[c];
}

// A note sounding on a voice (or a drum hit), advanced once per frame.
struct Playing {
    const Instrument* ins = nullptr;
    bool active = false;
    int note = 0;
    int frame = 0;   // frames since the note began
    bool released = false;
    int releaseFrame = 0;   // frames since the note-off
    int volumeCap = 15;
    std::vector<int> chord;
    int line = 0;   // where the note was written, for messages
};

// What one voice asks of the chip in one frame.
struct VoiceOut {
    bool sounding = false;
    int period = 0;
    int volume = 0;   // register value: level and envelope-mode bit
    bool tone = false;
    int noise = NoiseOff;
    int envelopePeriod = 0;   // meaningful in envelope mode
    int envelopeShape = -1;
    bool envelopeTrigger = false;
    int line = 0;
};

VoiceOut Sound(const Playing& p)
{
    VoiceOut out;
    if (!p.active) return out;
    const Instrument& ins = *p.ins;
    const int raw = p.released ? ins.release.At(p.releaseFrame, 0) : ins.volume.At(p.frame, 0);
    const int level = std::max(0, (raw & 15) - (15 - p.volumeCap));
    out.volume = (raw & EnvelopeModeBit) | level;
    out.line = p.line;

    int semitone = p.note + ins.arp.At(p.frame, 0);
    if (!p.chord.empty()) semitone += p.chord[static_cast<size_t>(p.frame / ins.arpSpeed) % p.chord.size()];
    double frequency = NoteFrequency(semitone);
    if (ins.vibratoDepth > 0 && p.frame >= ins.vibratoDelay) {
        // A triangle wave: up a quarter, down a half, up a quarter.
        const double pos = static_cast<double>((p.frame - ins.vibratoDelay) % ins.vibratoPeriod) / ins.vibratoPeriod;
        const double tri = pos < 0.25 ? 4.0 * pos : pos < 0.75 ? 2.0 - 4.0 * pos : 4.0 * pos - 4.0;
        frequency *= std::pow(2.0, ins.vibratoDepth * tri / 1200.0);
    }
    out.period = static_cast<int>(std::lround(ToneClock / frequency)) + ins.pitch.At(p.frame, 0);
    if (out.period < 1 || out.period > MaxTonePeriod) {
        throw ScoreError(p.line, "'" + ins.name + "' here reaches tone period " + std::to_string(out.period) +
                                     ", outside the chip's 1.." + std::to_string(MaxTonePeriod) + " (too low a note?)");
    }
    out.tone = ins.tone.At(p.frame, 1) != 0;
    out.noise = ins.noise.At(p.frame, NoiseOff);
    out.sounding = level > 0 || (out.volume & EnvelopeModeBit);
    if (out.volume & EnvelopeModeBit) {
        out.envelopeShape = ins.envelopeShape;
        out.envelopePeriod = ins.envelopePeriod > 0
                                 ? ins.envelopePeriod
                                 : static_cast<int>(std::lround(static_cast<double>(out.period) / ins.envelopeRatio));
        out.envelopeTrigger = p.frame == 0 && !p.released;
    }
    return out;
}

void Advance(Playing& p)
{
    if (!p.active) return;
    ++p.frame;
    if (p.released) ++p.releaseFrame;
    if (p.ins->drum && p.frame >= p.ins->volume.Length()) p.active = false;
}

std::string Where(const OrderStep& step, int row, int frame)
{
    return "order line " + std::to_string(step.line) + ", row " + std::to_string(row) + " (frame " +
           std::to_string(frame) + ")";
}

class Renderer {
public:
    explicit Renderer(const Score& score) : score_(score) {}

    RenderedSong Run()
    {
        RenderedSong song;
        int groove = 0;
        for (const OrderStep& step : score_.order) {
            song.stepFirstFrame.push_back(static_cast<int>(song.frames.size()));
            const int rows = RowsOf(step);
            for (int row = 0; row < rows; ++row) {
                StartRow(step, row);
                const int frames = score_.rowFrames[static_cast<size_t>(groove++) % score_.rowFrames.size()];
                for (int f = 0; f < frames; ++f) {
                    song.frames.push_back(MergeFrame(Where(step, row, static_cast<int>(song.frames.size()))));
                    for (Playing& p : voices_) Advance(p);
                    Advance(drum_);
                }
            }
        }
        if (!song.frames.empty()) song.frames.front().restartEnvelope = true;
        return song;
    }

private:
    int RowsOf(const OrderStep& step) const
    {
        for (const int t : step.track) {
            if (t >= 0) return static_cast<int>(score_.tracks[static_cast<size_t>(t)].rows.size());
        }
        return 0;
    }

    void StartRow(const OrderStep& step, int row)
    {
        for (int c = 0; c < ColumnCount; ++c) {
            if (step.track[c] < 0) {
                if (c < DrumColumn) voices_[c].active = false;   // a resting column is silent
                continue;
            }
            const Cell& cell = score_.tracks[static_cast<size_t>(step.track[c])].rows[static_cast<size_t>(row)];
            Playing& p = c == DrumColumn ? drum_ : voices_[c];
            switch (cell.kind) {
            case Cell::Empty:
                break;
            case Cell::Cut:
                p.active = false;
                break;
            case Cell::Release:
                if (p.active && !p.released) {
                    p.released = true;
                    p.releaseFrame = 0;
                    if (p.ins->release.Empty()) p.active = false;
                }
                break;
            case Cell::Note: {
                const Instrument* ins = cell.instrument >= 0 ? &score_.instruments[static_cast<size_t>(cell.instrument)]
                                                             : (c < DrumColumn ? last_[c] : nullptr);
                if (!ins) {
                    throw ScoreError(cell.line,
                                     std::string("a note without an instrument, and none played before on ") +
                                         "channel " + ChannelName(c));
                }
                if (c < DrumColumn) last_[c] = ins;
                p = Playing{};
                p.ins = ins;
                p.active = true;
                p.note = ins->drum ? ins->fixedNote : cell.note + step.transpose[c];
                p.volumeCap = cell.volumeCap;
                p.chord = cell.chord;
                p.line = cell.line;
                break;
            }
            }
        }
    }

    RegisterFrame MergeFrame(const std::string& where)
    {
        RegisterFrame frame;
        frame.regs = regs_;
        int mixer = 0x3F;
        VoiceOut noiseUser, envelopeUser;
        int noiseChannel = -1, envelopeChannel = -1;
        bool restart = false;
        for (int c = 0; c < 3; ++c) {
            const bool drumHere = drum_.active && drum_.ins->channel == c;
            const VoiceOut out = Sound(drumHere ? drum_ : voices_[c]);
            frame.regs[static_cast<size_t>(8 + c)] = static_cast<uint8_t>(out.sounding ? out.volume : 0);
            if (!out.sounding) continue;
            frame.regs[static_cast<size_t>(2 * c)] = static_cast<uint8_t>(out.period & 0xFF);
            frame.regs[static_cast<size_t>(2 * c + 1)] = static_cast<uint8_t>(out.period >> 8);
            if (out.tone) mixer &= ~(1 << c);
            if (out.noise != NoiseOff) {
                if (noiseChannel >= 0 && noiseUser.noise != out.noise) {
                    throw ScoreError(out.line, "noise clash at " + where + ": channel " + ChannelName(noiseChannel) +
                                                   " (line " + std::to_string(noiseUser.line) +
                                                   ") wants noise period " + std::to_string(noiseUser.noise) +
                                                   ", channel " + ChannelName(c) + " wants " +
                                                   std::to_string(out.noise));
                }
                mixer &= ~(8 << c);
                noiseUser = out;
                noiseChannel = c;
            }
            if (out.volume & EnvelopeModeBit) {
                if (envelopeChannel >= 0 && (envelopeUser.envelopePeriod != out.envelopePeriod ||
                                             envelopeUser.envelopeShape != out.envelopeShape)) {
                    throw ScoreError(out.line, "envelope clash at " + where + ": channels " +
                                                   ChannelName(envelopeChannel) + " (line " +
                                                   std::to_string(envelopeUser.line) + ") and " + ChannelName(c) +
                                                   " both play in envelope mode with different settings");
                }
                envelopeUser = out;
                envelopeChannel = c;
                restart |= out.envelopeTrigger;
            }
        }
        frame.regs[7] = static_cast<uint8_t>(mixer);
        if (noiseChannel >= 0) frame.regs[6] = static_cast<uint8_t>(noiseUser.noise);
        if (envelopeChannel >= 0) {
            frame.regs[11] = static_cast<uint8_t>(envelopeUser.envelopePeriod & 0xFF);
            frame.regs[12] = static_cast<uint8_t>(envelopeUser.envelopePeriod >> 8);
            // A voice coming back to the envelope after another shape played
            // (a drum, say) needs its own shape written again.
            if (restart || !shapeWritten_ || frame.regs[ShapeRegister] != envelopeUser.envelopeShape) {
                frame.regs[ShapeRegister] = static_cast<uint8_t>(envelopeUser.envelopeShape);
                frame.restartEnvelope = true;
                shapeWritten_ = true;
            }
        }
        regs_ = frame.regs;
        return frame;
    }

    const Score& score_;
    Playing voices_[3];
    Playing drum_;
    const Instrument* last_[3] = {};
    std::array<uint8_t, RegisterCount> regs_{};
    bool shapeWritten_ = false;
};

}   // namespace

int TonePeriod(int semitone)
{
    return static_cast<int>(std::lround(ToneClock / NoteFrequency(semitone)));
}

RenderedSong RenderSong(const Score& score)
{
    return Renderer(score).Run();
}

}   // namespace songc
