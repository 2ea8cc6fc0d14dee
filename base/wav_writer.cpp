#include "base/wav_writer.h"

#include <cstring>

#include "base/stream_format.h"

namespace {

constexpr uint16_t Channels = 1;
constexpr uint16_t BlockAlign = Channels * StreamBytesPerSample;
constexpr uint16_t BitsPerSample = 8 * StreamBytesPerSample;

void Put16(uint8_t* at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; i++) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}   // namespace

std::array<uint8_t, WavHeaderBytes> WavHeader(uint32_t sampleCount)
{
    const uint32_t dataBytes = sampleCount * BlockAlign;
    std::array<uint8_t, WavHeaderBytes> h{};
    std::memcpy(&h[0], "RIFF", 4);
    Put32(&h[4], 36 + dataBytes);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    Put32(&h[16], 16);   // size of the format record
    Put16(&h[20], 1);    // PCM
    Put16(&h[22], Channels);
    Put32(&h[24], StreamSampleRate);
    Put32(&h[28], StreamSampleRate * BlockAlign);
    Put16(&h[32], BlockAlign);
    Put16(&h[34], BitsPerSample);
    std::memcpy(&h[36], "data", 4);
    Put32(&h[40], dataBytes);
    return h;
}

void SamplesToLittleEndian(const int16_t* samples, size_t count, uint8_t* out)
{
    for (size_t i = 0; i < count; i++) Put16(out + 2 * i, static_cast<uint16_t>(samples[i]));
}
