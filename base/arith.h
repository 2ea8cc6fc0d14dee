// Integer conversions shared by the picture and the music player.
#pragma once

#include <cstdint>

// Every float-to-integer conversion in the program truncates toward zero
// through a 64-bit integer and keeps its low 32 bits. Callers that need the
// unsigned low word (the tone step of a very short period exceeds 2^32) take
// TruncLow32; everyone else takes TruncToInt.
inline uint32_t TruncLow32(double value)
{
    return static_cast<uint32_t>(static_cast<int64_t>(value));
}

inline int32_t TruncToInt(double value)
{
    return static_cast<int32_t>(TruncLow32(value));
}
