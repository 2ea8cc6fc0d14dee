#include "base/dc_blocker.h"

#include <algorithm>
#include <cmath>

#include "base/arith.h"
#include "base/stream_format.h"

namespace {

// y[n] = x[n] - x[n-1] + R y[n-1]; R = 1 - 2 pi fc / fs puts the corner at fc.
constexpr double Pole = 1.0 - 2.0 * 3.14159265358979323846 * DcBlockCornerHz / StreamSampleRate;

int16_t Clamp16(double value)
{
    const double rounded = std::floor(value + 0.5);
    return static_cast<int16_t>(TruncToInt(std::clamp(rounded, -32768.0, 32767.0)));
}

}   // namespace

void DcBlocker::Process(int16_t* samples, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        const double in = samples[i];
        if (!started) {
            if (samples[i] == 0) continue;
            started = true;
            previousIn = in;
        }
        const double out = in - previousIn + Pole * previousOut;
        previousIn = in;
        previousOut = out;
        double gain = 1.0;
        if (faded < FadeSamples) gain = static_cast<double>(faded++) / FadeSamples;
        samples[i] = Clamp16(out * gain);
    }
}
