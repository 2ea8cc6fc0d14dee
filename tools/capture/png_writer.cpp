#include "png_writer.h"

#include <array>
#include <cstdlib>

#include "zlib_stream.h"

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    static const std::array<uint32_t, 256> Table = [] {
        std::array<uint32_t, 256> table{};
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; i++) crc = Table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

namespace {

constexpr size_t BytesPerPixel = 3;

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data)
{
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, Crc32(out.data() + typeAt, out.size() - typeAt));
}

uint8_t Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Filter `type` (0 none, 1 sub, 2 up, 3 average, 4 Paeth) of one row, given
// the row above (all zero for the first row).
void FilterRow(int type, const uint8_t* row, const uint8_t* above, size_t size, uint8_t* out)
{
    for (size_t i = 0; i < size; i++) {
        const int a = i >= BytesPerPixel ? row[i - BytesPerPixel] : 0;
        const int b = above[i];
        const int c = i >= BytesPerPixel ? above[i - BytesPerPixel] : 0;
        int predicted = 0;
        switch (type) {
        case 1: predicted = a; break;
        case 2: predicted = b; break;
        case 3: predicted = (a + b) / 2; break;
        case 4: predicted = Paeth(a, b, c); break;
        default: break;
        }
        out[i] = static_cast<uint8_t>(row[i] - predicted);
    }
}

// The usual guess at what compresses best: the smallest sum of the filtered
// bytes taken as signed values.
uint64_t Cost(const uint8_t* filtered, size_t size)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < size; i++) sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(filtered[i])));
    return sum;
}

}   // namespace

std::vector<uint8_t> EncodePng(const uint32_t* pixels, uint32_t width, uint32_t height)
{
    const size_t rowBytes = size_t(width) * BytesPerPixel;
    std::vector<uint8_t> previous(rowBytes, 0);
    std::vector<uint8_t> current(rowBytes);
    std::vector<uint8_t> trial(rowBytes);
    std::vector<uint8_t> best(rowBytes);
    std::vector<uint8_t> scanlines;
    scanlines.reserve((rowBytes + 1) * height);
    for (uint32_t y = 0; y < height; y++) {
        const uint32_t* source = pixels + size_t(y) * width;
        for (uint32_t x = 0; x < width; x++) {
            current[3 * x + 0] = static_cast<uint8_t>(source[x] >> 16);
            current[3 * x + 1] = static_cast<uint8_t>(source[x] >> 8);
            current[3 * x + 2] = static_cast<uint8_t>(source[x]);
        }
        int bestType = 0;
        uint64_t bestCost = ~0ull;
        for (int type = 0; type <= 4; type++) {
            FilterRow(type, current.data(), previous.data(), rowBytes, trial.data());
            const uint64_t cost = Cost(trial.data(), rowBytes);
            if (cost < bestCost) {
                bestCost = cost;
                bestType = type;
                best.swap(trial);
            }
        }
        scanlines.push_back(static_cast<uint8_t>(bestType));
        scanlines.insert(scanlines.end(), best.begin(), best.end());
        previous.swap(current);
    }

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});   // 8 bits, RGB, deflate, adaptive filters, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibCompress(scanlines.data(), scanlines.size()));
    PutChunk(png, "IEND", {});
    return png;
}
