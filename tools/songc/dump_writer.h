// Encodes register frames as the two song files the player reads: the
// "YMDX" delta format and the raw 14-byte format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "music/song_format.h"
#include "song_render.h"

namespace songc {

constexpr int FrameRate = ReplayRate;
constexpr size_t PlayerBufferSize = SongBufferSize;   // the most of a song file the player holds

// "YMDX", then our own header fields (big-endian): frame count at 4, loop
// frame at 8, frame rate at 12, version at 14, the title (16 bytes, zero
// padded) at 16. Each frame: a 16-bit change mask, bit 15 - r for register r,
// then the changed registers in ascending order. The first frame writes all
// 14 registers; the shape register is written only to restart the envelope.
std::vector<uint8_t> EncodeDelta(const std::vector<RegisterFrame>& frames, const std::string& title);

// 14 bytes a frame: three little-endian tone periods, noise, mixer, three
// volumes, envelope period low and high, shape (255: no restart).
std::vector<uint8_t> EncodeRaw(const std::vector<RegisterFrame>& frames);

}   // namespace songc
