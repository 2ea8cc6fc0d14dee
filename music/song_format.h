// The song file as the player reads it and songc writes it: raw 14-byte
// register frames from offset 0, or "YMDX" delta frames after a 32-byte
// header, 50 frames a second; the player holds at most SongBufferSize bytes
// of a file.
#pragma once

#include <cstdint>

#include "base/stream_format.h"

constexpr int32_t DeltaHeaderSize = 32;       // "YMDX" magic and 28 bytes the player does not read
constexpr uint32_t DeltaMagic = 0x594D4458;   // "YMDX", read big-endian
constexpr int32_t RawFrameSize = 14;
