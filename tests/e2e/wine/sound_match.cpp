// Compares the sound the Windows program played (as recorded from the audio
// stack under Wine) with the music player's own sample stream for the song.
//
// The audio stack may resample our 44,100 Hz mono stream (to 48 kHz stereo
// under PulseAudio), so the comparison is by normalised cross-correlation
// after bringing the recording back to 44,100 Hz: both sides are band-limited
// to the same cutoff and the recording is aligned with the stream to a
// fraction of a sample.
//
// The verdict is taken second by second: after the first second of sound,
// every whole 1 s window of the recording is aligned with the stream on its
// own and must correlate at least THRESHOLD, and the stream positions the
// windows find must advance at the recording's own pace, 44,100 stream
// samples a second within 1 %. A skipped or replayed stretch shows as a bad
// window and as a jump in the pace. The stretches the recording follows
// without a break are listed too, with every discontinuity between them.
//
// Usage: quillmoor_sound_match RECORDING.wav [MIN_SECONDS [THRESHOLD]]
// MIN_SECONDS: the least sound the recording must hold (default 10).
// Run from the folder that holds the song. Exit code 0 when the recording
// matches, 1 when it doesn't, 2 when the input can't be used.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/asset_files.h"
#include "music/player.h"

namespace {

constexpr double StreamRate = 44100.0;
constexpr double Cutoff = 16000.0;   // both sides are compared below this
constexpr int HalfTaps = 32;
constexpr int Phases = 1024;           // resampling kernel table resolution
constexpr int RingSamples = 4096;      // the 8192-byte ring
constexpr int LocalWindow = 1024;      // about 23 ms
constexpr long ProbeSamples = 44100;   // one second of capture per alignment search
// A window that matches less than this ends a stretch. Undisturbed windows
// match above 0.999; a shift of a few milliseconds or a skipped lap of a held
// note can still match 0.9.
constexpr double WindowThreshold = 0.98;
constexpr double Pi = 3.14159265358979323846;

struct Capture {
    double rate = 0;
    std::vector<double> mono;
};

uint32_t Le32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Reads a WAV file as written by ALSA's file plugin: the data chunk's size
// may be 0 (written to a pipe), in which case the data runs to the end.
bool ReadWav(const char* path, Capture& capture)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) || std::memcmp(bytes.data() + 8, "WAVE", 4))
        return false;

    uint16_t tag = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint8_t* chunk = bytes.data() + at;
        uint32_t size = Le32(chunk + 4);
        if (!std::memcmp(chunk, "fmt ", 4) && size >= 16) {
            tag = Le16(chunk + 8);
            channels = Le16(chunk + 10);
            rate = Le32(chunk + 12);
            bits = Le16(chunk + 22);
            if (tag == 0xFFFE && size >= 40) tag = Le16(chunk + 32);   // extensible: the subformat
        } else if (!std::memcmp(chunk, "data", 4)) {
            size_t begin = at + 8;
            size_t end = size == 0 || begin + size > bytes.size() ? bytes.size() : begin + size;
            if (!channels || !rate) return false;
            const size_t frameBytes = size_t(channels) * bits / 8;
            if (frameBytes == 0) return false;
            std::printf("capture format: tag %u, %u channel(s), %u Hz, %u bits\n", tag, channels, rate, bits);
            capture.rate = rate;
            for (size_t frame = begin; frame + frameBytes <= end; frame += frameBytes) {
                double sum = 0;
                for (int c = 0; c < channels; ++c) {
                    const uint8_t* p = bytes.data() + frame + size_t(c) * bits / 8;
                    if (tag == 1 && bits == 16)
                        sum += int16_t(Le16(p));
                    else if (tag == 1 && bits == 32)
                        sum += int32_t(Le32(p)) / 65536.0;
                    else if (tag == 3 && bits == 32) {
                        uint32_t raw = Le32(p);
                        float value;
                        std::memcpy(&value, &raw, 4);
                        sum += value * 32768.0;
                    } else
                        return false;
                }
                capture.mono.push_back(sum / channels);
            }
            return true;
        }
        at += 8 + size + (size & 1);
        if (size == 0 && std::memcmp(chunk, "data", 4)) at += 0;
    }
    return false;
}

double Blackman(double t, double halfWidth)
{
    const double x = (t + halfWidth) / (2 * halfWidth);   // 0..1 across the window
    if (x <= 0 || x >= 1) return 0;
    return 0.42 - 0.5 * std::cos(2 * Pi * x) + 0.08 * std::cos(4 * Pi * x);
}

double LowPass(double t, double cutoffOverRate)
{
    const double w = 2 * cutoffOverRate;
    if (t == 0) return w;
    return std::sin(Pi * w * t) / (Pi * t);
}

// Band-limited interpolation of the capture at fractional sample positions.
struct Resampler {
    std::vector<double> table;   // [phase][tap], each phase normalised to unity gain

    explicit Resampler(double rate)
    {
        table.resize(size_t(Phases + 1) * 2 * HalfTaps);
        for (int phase = 0; phase <= Phases; ++phase) {
            const double frac = double(phase) / Phases;
            double* taps = &table[size_t(phase) * 2 * HalfTaps];
            double sum = 0;
            for (int k = 0; k < 2 * HalfTaps; ++k) {
                const double t = frac - (k - HalfTaps + 1);   // distance from tap to position
                taps[k] = LowPass(t, Cutoff / rate) * Blackman(t, HalfTaps);
                sum += taps[k];
            }
            for (int k = 0; k < 2 * HalfTaps; ++k) taps[k] /= sum;
        }
    }

    // Value at position u; false if the kernel would reach past either end.
    bool At(const std::vector<double>& x, double u, double& value) const
    {
        const double base = std::floor(u);
        const long first = long(base) - HalfTaps + 1;
        if (first < 0 || first + 2 * HalfTaps > long(x.size())) return false;
        const double frac = u - base;
        const int phase = int(frac * Phases);
        const double mix = frac * Phases - phase;
        const double* a = &table[size_t(phase) * 2 * HalfTaps];
        const double* b = a + 2 * HalfTaps;
        double sa = 0, sb = 0;
        for (int k = 0; k < 2 * HalfTaps; ++k) {
            sa += a[k] * x[size_t(first + k)];
            sb += b[k] * x[size_t(first + k)];
        }
        value = sa + (sb - sa) * mix;
        return true;
    }
};

std::vector<double> FilterStream(const std::vector<double>& x)
{
    std::vector<double> taps(2 * HalfTaps + 1);
    double sum = 0;
    for (int k = -HalfTaps; k <= HalfTaps; ++k) {
        taps[size_t(k + HalfTaps)] = LowPass(k, Cutoff / StreamRate) * Blackman(k, HalfTaps + 1);
        sum += taps[size_t(k + HalfTaps)];
    }
    for (double& t : taps) t /= sum;
    std::vector<double> y(x.size(), 0.0);
    for (size_t i = 0; i < x.size(); ++i) {
        double acc = 0;
        for (int k = -HalfTaps; k <= HalfTaps; ++k) {
            const long j = long(i) + k;
            if (j >= 0 && j < long(x.size())) acc += taps[size_t(k + HalfTaps)] * x[size_t(j)];
        }
        y[i] = acc;
    }
    return y;
}

void Fft(std::vector<std::complex<double>>& a, bool inverse)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = 2 * Pi / double(len) * (inverse ? 1 : -1);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
    if (inverse)
        for (auto& v : a) v /= double(n);
}

struct Correlation {
    double xy = 0, xx = 0, yy = 0;
    void Add(double x, double y)
    {
        xy += x * y;
        xx += x * x;
        yy += y * y;
    }
    double Value() const { return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0; }
};

// Correlation of the capture, read at u0 + m * ratio, with the filtered
// stream over m in [begin, end).
double CorrelateAt(const Resampler& resampler, const std::vector<double>& capture, const std::vector<double>& stream,
                   double u0, double ratio, long begin, long end)
{
    Correlation c;
    for (long m = std::max(begin, 0L); m < end && m < long(stream.size()); ++m) {
        double v;
        if (resampler.At(capture, u0 + double(m) * ratio, v)) c.Add(v, stream[size_t(m)]);
    }
    return c.Value();
}

// Best capture offset (in capture samples) for the stream window
// [begin, end), searched within +-radius of u0 in steps, then finer.
double RefineOffset(const Resampler& resampler, const std::vector<double>& capture, const std::vector<double>& stream,
                    double u0, double ratio, long begin, long end, double radius, double* best)
{
    double bestU = u0, bestC = -2;
    for (double step = radius / 64; step > 1.0 / 2048; step /= 8) {
        const double centre = bestU;
        for (double d = -radius; d <= radius + 1e-12; d += step) {
            const double c = CorrelateAt(resampler, capture, stream, centre + d, ratio, begin, end);
            if (c > bestC) bestC = c, bestU = centre + d;
        }
        radius = step;
    }
    if (best) *best = bestC;
    return bestU;
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CAPTURE.wav [MIN_SECONDS [THRESHOLD]]\n", argv[0]);
        return 2;
    }
    const double minSeconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    const double threshold = argc > 3 ? std::atof(argv[3]) : 0.99;

    Capture capture;
    if (!ReadWav(argv[1], capture) || capture.mono.size() < size_t(capture.rate)) {
        std::fprintf(stderr, "can't use the capture %s\n", argv[1]);
        return 2;
    }
    const double ratio = capture.rate / StreamRate;   // capture samples per stream sample
    const double captureSeconds = double(capture.mono.size()) / capture.rate;
    std::printf("capture: %.3f s\n", captureSeconds);

    // The player's own stream, requested the way the sound thread starts:
    // one whole ring, then 20 ms refills.
    LoadSongFromFile(SongFileName);
    const size_t streamSamples = size_t((captureSeconds + 4.0) * StreamRate);
    std::vector<int16_t> raw(streamSamples + 8192);
    size_t made = 0;
    for (uint32_t request = 8192; made < streamSamples; request = 1764) {
        FillCallback(raw.data() + made, request);
        made += request / 2;
    }
    std::vector<double> stream(raw.begin(), raw.begin() + long(streamSamples));
    double energy = 0;
    for (double v : stream) energy += v * v;
    const double streamRms = std::sqrt(energy / double(stream.size()));
    std::printf("stream rms: %.1f\n", streamRms);
    if (streamRms < 1.0) {
        std::printf("FAIL: the player's stream is silent; there is nothing to compare\n");
        return 1;
    }
    stream = FilterStream(stream);
    const Resampler resampler(capture.rate);

    // The capture on the stream's 44,100 Hz grid, for the coarse search.
    std::vector<double> coarse;
    for (double u = 0; u <= double(capture.mono.size()); u += ratio) {
        double v;
        coarse.push_back(resampler.At(capture.mono, u, v) ? v : 0.0);
    }
    double coarseEnergy = 0;
    for (double v : coarse) coarseEnergy += v * v;
    const double coarseRms = std::sqrt(coarseEnergy / double(coarse.size()));
    long firstLoud = -1;
    for (long w = 0; firstLoud < 0 && w + LocalWindow <= long(coarse.size()); w += LocalWindow) {
        double e = 0;
        for (long i = w; i < w + LocalWindow; ++i) e += coarse[size_t(i)] * coarse[size_t(i)];
        if (std::sqrt(e / LocalWindow) > 0.1 * coarseRms) firstLoud = w;
    }
    if (coarseRms < 1.0 || firstLoud < 0) {
        std::printf("FAIL: the capture is silent\n");
        return 1;
    }
    std::printf("first sound in the capture at %.3f s\n", firstLoud / StreamRate);

    // The stream's spectrum, shared by every alignment search.
    size_t n = 1;
    while (n < stream.size() + size_t(ProbeSamples)) n <<= 1;
    std::vector<std::complex<double>> streamSpectrum(n);
    for (size_t i = 0; i < stream.size(); ++i) streamSpectrum[i] = stream[i];
    Fft(streamSpectrum, false);
    std::vector<double> prefix(stream.size() + 1, 0.0);
    for (size_t i = 0; i < stream.size(); ++i) prefix[i + 1] = prefix[i] + stream[i] * stream[i];

    // Where the one second of capture from coarse position `at` sits in the
    // stream: u0 such that stream sample m is at capture position
    // u0 + m * ratio, found through the FFT and then refined to a small
    // fraction of a capture sample. `quality` is the probe's correlation.
    // A song repeats itself, so a match near `expected` (the stream position
    // the previous stretch predicts, or -1) is preferred to a better one
    // elsewhere.
    auto align = [&](long at, long expected, double& u0, double& quality) {
        std::vector<std::complex<double>> probe(n);
        for (long i = 0; i < ProbeSamples; ++i) probe[size_t(i)] = coarse[size_t(at + i)];
        Fft(probe, false);
        for (size_t i = 0; i < n; ++i) probe[i] = streamSpectrum[i] * std::conj(probe[i]);
        Fft(probe, true);
        auto best = [&](long from, long to) {
            long bestK = -1;
            double bestScore = -1e300;
            for (long k = std::max(from, 0L); k <= to && k + ProbeSamples <= long(stream.size()); ++k) {
                const double e = prefix[size_t(k + ProbeSamples)] - prefix[size_t(k)];
                if (e <= 0) continue;
                const double score = probe[size_t(k)].real() / std::sqrt(e);
                if (score > bestScore) bestScore = score, bestK = k;
            }
            return bestK;
        };
        auto refine = [&](long k) {
            u0 = (double(at) - double(k)) * ratio;
            u0 = RefineOffset(resampler, capture.mono, stream, u0, ratio, k, k + ProbeSamples, 2.0, &quality);
        };
        if (expected >= 0) {
            const long k = best(expected - long(StreamRate / 2), expected + long(StreamRate / 2));
            if (k >= 0) {
                refine(k);
                if (quality >= WindowThreshold) return;
            }
        }
        refine(std::max(best(0, long(stream.size())), 0L));
    };

    // The verdict: every 1 s window after the first second, aligned on its own.
    struct Window {
        double captureSeconds;   // where it starts in the recording
        double streamAt;         // the stream sample heard at its start
        double correlation;
    };
    std::vector<Window> windows;
    for (long at = firstLoud + ProbeSamples; at + ProbeSamples <= long(coarse.size()); at += ProbeSamples) {
        const long expected = windows.empty() ? -1 : std::lround(windows.back().streamAt + double(ProbeSamples));
        double u0 = 0, quality = 0;
        align(at, expected, u0, quality);
        windows.push_back({double(at) / StreamRate, double(at) - u0 / ratio, quality});
    }
    std::printf("1 s windows after the first second (recording time: stream position, correlation):\n");
    for (const Window& w : windows)
        std::printf("  %7.3f s: %9.3f s, %.6f\n", w.captureSeconds, w.streamAt / StreamRate, w.correlation);
    const double soundSeconds = double(long(coarse.size()) - firstLoud) / StreamRate;
    std::vector<double> sorted;
    for (const Window& w : windows) sorted.push_back(w.correlation);
    std::sort(sorted.begin(), sorted.end());
    double pace = 0;
    if (windows.size() >= 2) {
        const Window& a = windows.front();
        const Window& b = windows.back();
        pace = (b.streamAt - a.streamAt) / (b.captureSeconds - a.captureSeconds);
    }
    double worstStep = 0;   // the largest departure of one window's step from a second
    for (size_t i = 1; i < windows.size(); ++i)
        worstStep = std::max(worstStep, std::fabs(windows[i].streamAt - windows[i - 1].streamAt - ProbeSamples));
    if (!sorted.empty())
        std::printf("windows: %zu, correlation minimum %.6f, median %.6f; pace %.1f stream samples a second "
                    "(%.3f %% of 44,100); largest step error %.0f samples\n",
                    sorted.size(), sorted.front(), sorted[sorted.size() / 2], pace, 100.0 * pace / StreamRate,
                    worstStep);

    bool pass = true;
    if (soundSeconds < minSeconds) {
        std::printf("FAIL: only %.3f s of sound recorded, need %.1f s\n", soundSeconds, minSeconds);
        pass = false;
    }
    if (sorted.size() < 2) {
        std::printf("FAIL: fewer than two whole windows after the first second\n");
        pass = false;
    } else {
        if (sorted.front() < threshold) {
            std::printf("FAIL: a window correlates %.6f, below %.3f\n", sorted.front(), threshold);
            pass = false;
        }
        if (std::fabs(pace / StreamRate - 1.0) > 0.01) {
            std::printf("FAIL: the tune moves at %.1f samples a second, not 44,100 within 1 %%\n", pace);
            pass = false;
        }
    }

    // Walk the capture: align, then follow the alignment window by window
    // until a window no longer matches (a dropout, a skip, a replayed lap or
    // the end of the capture), then align again after it.
    struct Segment {
        long streamBegin, streamEnd;
        double captureAt, offset, correlation;
    };
    std::vector<Segment> segments;
    long unmatchedProbes = 0;
    for (long at = firstLoud; at + ProbeSamples <= long(coarse.size());) {
        double u0 = 0, quality = 0;
        const long expected = segments.empty() ? -1 : std::lround(double(at) - segments.back().offset);
        align(at, expected, u0, quality);
        if (quality < 0.9) {
            ++unmatchedProbes;
            at += ProbeSamples / 4;
            continue;
        }
        // The stretch starts at the probe's first stream sample (or, for a
        // recording that starts mid-stream, where the capture begins).
        long m0 = std::lround(double(at) - u0 / ratio);
        while (u0 + double(m0) * ratio < HalfTaps) ++m0;
        m0 = std::max(m0, 0L);
        long m = m0;
        Correlation segment;
        bool atEnd = false;
        for (;; m += LocalWindow) {
            if (m + LocalWindow > long(stream.size()) ||
                u0 + double(m + LocalWindow) * ratio + HalfTaps >= double(capture.mono.size())) {
                atEnd = true;
                break;
            }
            Correlation local;
            for (long i = m; i < m + LocalWindow; ++i) {
                double v = 0;
                resampler.At(capture.mono, u0 + double(i) * ratio, v);
                local.Add(v, stream[size_t(i)]);
            }
            const bool loud = local.yy > 0.01 * streamRms * streamRms * LocalWindow;
            if (loud && local.Value() < WindowThreshold) break;
            segment.xy += local.xy, segment.xx += local.xx, segment.yy += local.yy;
        }
        if (m > m0) segments.push_back({m0, m, at / StreamRate, u0 / ratio, segment.Value()});
        if (atEnd) break;
        if (m == m0) {
            // Not even the first window matched: the probe spanned a
            // disturbance. Look again a little further on.
            ++unmatchedProbes;
            at += ProbeSamples / 4;
            continue;
        }
        // Go on from the capture position just after the window that failed.
        at = std::max(std::lround((u0 + double(m + LocalWindow) * ratio) / ratio), at + LocalWindow);
    }

    std::printf("matched stretches (capture time, stream span, length, correlation):\n");
    const Segment* longest = nullptr;
    long skips = 0, replays = 0, others = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        std::printf("  at %7.3f s: stream %7.3f..%7.3f s, %6.3f s, %.6f\n", s.captureAt, s.streamBegin / StreamRate,
                    s.streamEnd / StreamRate, (s.streamEnd - s.streamBegin) / StreamRate, s.correlation);
        if (!longest || s.streamEnd - s.streamBegin > longest->streamEnd - longest->streamBegin) longest = &s;
        if (i > 0) {
            // The stream's position for a given moment of the capture moved
            // by `jump` samples: forward is sound skipped, backward replayed.
            const double jump = segments[i - 1].offset - s.offset;
            const double laps = jump / RingSamples;
            const char* kind = "gap or shift";
            if (std::fabs(laps - std::lround(laps)) < 0.05 && std::lround(laps) != 0)
                kind = laps > 0 ? "ring lap(s) skipped" : "ring lap(s) replayed";
            if (std::lround(laps) != 0 && std::fabs(laps - std::lround(laps)) < 0.05)
                (laps > 0 ? skips : replays) += 1;
            else
                ++others;
            std::printf("    discontinuity before it: %+.0f stream samples (%+.2f ring lengths): %s\n", jump, laps,
                        kind);
        }
    }
    const long dropouts = skips + replays + others;
    std::printf("discontinuities: %ld (ring laps skipped %ld, replayed %ld, other %ld); unmatched probes %ld\n",
                dropouts, skips, replays, others, unmatchedProbes);
    if (!longest) {
        std::printf("FAIL: no stretch of the capture matches the player's stream\n");
        return 1;
    }
    const double longestSeconds = (longest->streamEnd - longest->streamBegin) / StreamRate;
    std::printf("longest matched stretch: %.3f s (stream %.3f..%.3f s), normalised cross-correlation %.6f\n",
                longestSeconds, longest->streamBegin / StreamRate, longest->streamEnd / StreamRate,
                longest->correlation);

    std::printf(pass ? "PASS\n" : "");
    return pass ? 0 : 1;
}
