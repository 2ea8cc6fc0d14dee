#include "base/frame_hash.h"

uint64_t Fnv1a64(const void* data, size_t size, uint64_t hash)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; i++) {
        hash ^= bytes[i];
        hash *= FnvPrime;
    }
    return hash;
}

uint64_t HashPixels(const uint32_t* pixels, size_t count)
{
    // A 0x00RRGGBB pixel's fourth byte is 0, and xor with 0 changes
    // nothing: its step is a multiply alone, folded into the third's.
    constexpr uint64_t PrimeSquared = FnvPrime * FnvPrime;
    uint64_t hash = FnvOffsetBasis;
    for (size_t i = 0; i < count; i++) {
        const uint32_t pixel = pixels[i];
        hash = (hash ^ (pixel & 0xFF)) * FnvPrime;
        hash = (hash ^ (pixel >> 8 & 0xFF)) * FnvPrime;
        if (pixel >> 24 == 0) {
            hash = (hash ^ (pixel >> 16 & 0xFF)) * PrimeSquared;
        } else {
            hash = (hash ^ (pixel >> 16 & 0xFF)) * FnvPrime;
            hash = (hash ^ (pixel >> 24)) * FnvPrime;
        }
    }
    return hash;
}

void FormatHash(uint64_t hash, char (&text)[17])
{
    static const char Digits[] = "0123456789abcdef";
    for (int i = 15; i >= 0; i--) {
        text[i] = Digits[hash & 15];
        hash >>= 4;
    }
    text[16] = '\0';
}
