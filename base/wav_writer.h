// 16-bit mono PCM at 44,100 Hz as a WAV file, or as raw little-endian bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t WavHeaderBytes = 44;
// The RIFF size field (36 + data bytes) must fit in 32 bits.
constexpr uint64_t MaxWavSamples = (0xFFFFFFFFull - 36) / 2;

// The canonical 44-byte header of a file holding `sampleCount` samples.
std::array<uint8_t, WavHeaderBytes> WavHeader(uint32_t sampleCount);

// `count` samples as signed 16-bit little-endian bytes, 2 * count of them.
void SamplesToLittleEndian(const int16_t* samples, size_t count, uint8_t* out);
