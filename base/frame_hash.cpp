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
    uint64_t hash = FnvOffsetBasis;
    for (size_t i = 0; i < count; i++) {
        const uint32_t pixel = pixels[i];
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (pixel >> shift) & 0xFF;
            hash *= FnvPrime;
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
