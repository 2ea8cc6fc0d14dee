#include "zlib_stream.h"

#include <algorithm>

uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler)
{
    constexpr uint32_t Modulus = 65521;
    constexpr size_t Stretch = 5552;   // the longest run whose sums can't overflow 32 bits
    uint32_t a = adler & 0xFFFF;
    uint32_t b = adler >> 16;
    while (size > 0) {
        const size_t n = std::min(size, Stretch);
        for (size_t i = 0; i < n; i++) {
            a += data[i];
            b += a;
        }
        a %= Modulus;
        b %= Modulus;
        data += n;
        size -= n;
    }
    return b << 16 | a;
}

namespace {

constexpr size_t WindowSize = 32768;
constexpr size_t MinMatch = 3;
constexpr size_t MaxMatch = 258;
constexpr int ChainLimit = 64;        // candidates tried per position
constexpr size_t GoodEnough = 128;    // stop searching once a match is this long
constexpr int HashBits = 15;

constexpr uint16_t LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t DistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                       193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t DistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                       6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Bits go out least significant first; Huffman codes most significant bit
// first, so they are reversed on the way in.
struct BitWriter {
    std::vector<uint8_t>& out;
    uint64_t pending = 0;
    int pendingBits = 0;

    void Put(uint32_t bits, int count)
    {
        pending |= static_cast<uint64_t>(bits) << pendingBits;
        pendingBits += count;
        while (pendingBits >= 8) {
            out.push_back(static_cast<uint8_t>(pending));
            pending >>= 8;
            pendingBits -= 8;
        }
    }

    void PutCode(uint32_t code, int length)
    {
        uint32_t reversed = 0;
        for (int i = 0; i < length; i++) reversed |= ((code >> i) & 1) << (length - 1 - i);
        Put(reversed, length);
    }

    void Flush()
    {
        if (pendingBits > 0) Put(0, 8 - pendingBits);
    }
};

// The fixed literal/length code of symbol 0..287.
void PutFixedSymbol(BitWriter& bits, uint32_t symbol)
{
    if (symbol < 144) bits.PutCode(0x30 + symbol, 8);
    else if (symbol < 256) bits.PutCode(0x190 + symbol - 144, 9);
    else if (symbol < 280) bits.PutCode(symbol - 256, 7);
    else bits.PutCode(0xC0 + symbol - 280, 8);
}

void PutMatch(BitWriter& bits, size_t length, size_t distance)
{
    int code = 28;
    while (LengthBase[code] > length) code--;
    PutFixedSymbol(bits, 257 + code);
    bits.Put(static_cast<uint32_t>(length - LengthBase[code]), LengthExtra[code]);
    int dcode = 29;
    while (DistanceBase[dcode] > distance) dcode--;
    bits.PutCode(dcode, 5);
    bits.Put(static_cast<uint32_t>(distance - DistanceBase[dcode]), DistanceExtra[dcode]);
}

std::vector<uint8_t> FixedHuffmanBlock(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> out;
    out.reserve(size / 2 + 64);
    BitWriter bits{out};
    bits.Put(1, 1);   // final block
    bits.Put(1, 2);   // fixed Huffman codes

    // head: the latest position with a given 3-byte hash; previous: the one
    // before it with the same hash, per window slot.
    std::vector<int32_t> head(size_t(1) << HashBits, -1);
    std::vector<int32_t> previous(WindowSize, -1);
    auto hashAt = [&](size_t p) {
        return ((uint32_t(data[p]) << 10) ^ (uint32_t(data[p + 1]) << 5) ^ data[p + 2]) & ((1u << HashBits) - 1);
    };
    auto insert = [&](size_t p) {
        if (p + MinMatch > size) return;
        const uint32_t h = hashAt(p);
        previous[p % WindowSize] = head[h];
        head[h] = static_cast<int32_t>(p);
    };

    size_t p = 0;
    while (p < size) {
        size_t bestLength = 0;
        size_t bestDistance = 0;
        if (p + MinMatch <= size) {
            const size_t limit = std::min(MaxMatch, size - p);
            int32_t candidate = head[hashAt(p)];
            for (int tries = 0; candidate >= 0 && tries < ChainLimit; tries++) {
                const size_t distance = p - static_cast<size_t>(candidate);
                if (distance > WindowSize) break;
                size_t length = 0;
                while (length < limit && data[candidate + length] == data[p + length]) length++;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length >= GoodEnough || length == limit) break;
                }
                candidate = previous[static_cast<size_t>(candidate) % WindowSize];
            }
        }
        if (bestLength >= MinMatch) {
            PutMatch(bits, bestLength, bestDistance);
            for (size_t i = 0; i < bestLength; i++) insert(p + i);
            p += bestLength;
        } else {
            PutFixedSymbol(bits, data[p]);
            insert(p);
            p++;
        }
    }
    PutFixedSymbol(bits, 256);   // end of block
    bits.Flush();
    return out;
}

std::vector<uint8_t> StoredBlocks(const uint8_t* data, size_t size)
{
    constexpr size_t MaxStored = 65535;
    std::vector<uint8_t> out;
    size_t p = 0;
    do {
        const size_t n = std::min(MaxStored, size - p);
        const bool last = p + n == size;
        out.push_back(last ? 1 : 0);   // BFINAL, BTYPE 00, padded to the byte
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), data + p, data + p + n);
        p += n;
    } while (p < size);
    return out;
}

}   // namespace

std::vector<uint8_t> Deflate(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> coded = FixedHuffmanBlock(data, size);
    const size_t storedBlocks = size == 0 ? 1 : (size + 65534) / 65535;
    const size_t storedSize = size + 5 * storedBlocks;
    return coded.size() <= storedSize ? coded : StoredBlocks(data, size);
}

std::vector<uint8_t> ZlibCompress(const uint8_t* data, size_t size)
{
    // CMF 0x78: deflate with a 32 KiB window; FLG 0x01 makes the pair a multiple of 31.
    std::vector<uint8_t> out = {0x78, 0x01};
    const std::vector<uint8_t> body = Deflate(data, size);
    out.insert(out.end(), body.begin(), body.end());
    const uint32_t adler = Adler32(data, size);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(adler >> shift));
    return out;
}
