// The capture tool's PNG writer and its zlib stream: checksums against
// published values, and everything written decoded again by a small reader
// of stored and fixed-Huffman deflate blocks made here from the formats.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "png_writer.h"
#include "zlib_stream.h"

namespace {

std::vector<uint8_t> Bytes(const char* text)
{
    return std::vector<uint8_t>(text, text + std::strlen(text));
}

// Reads deflate data made of stored and fixed-Huffman blocks; throws on
// anything else or on a malformed stream.
class Inflater {
public:
    Inflater(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    std::vector<uint8_t> Run()
    {
        std::vector<uint8_t> out;
        bool last = false;
        while (!last) {
            last = Bits(1) == 1;
            const uint32_t type = Bits(2);
            if (type == 0) Stored(out);
            else if (type == 1) Fixed(out);
            else throw std::runtime_error("block type " + std::to_string(type));
        }
        consumed_ = (bit_ + 7) / 8;
        return out;
    }

    size_t Consumed() const { return consumed_; }

private:
    uint32_t Bits(int count)
    {
        uint32_t value = 0;
        for (int i = 0; i < count; i++, bit_++) {
            if (bit_ / 8 >= size_) throw std::runtime_error("read past the end");
            value |= ((data_[bit_ / 8] >> (bit_ % 8)) & 1u) << i;
        }
        return value;
    }

    // A Huffman code arrives most significant bit first.
    uint32_t Code(int length, uint32_t start = 0)
    {
        uint32_t code = start;
        for (int i = 0; i < length; i++) code = code << 1 | Bits(1);
        return code;
    }

    uint32_t FixedSymbol()
    {
        const uint32_t seven = Code(7);
        if (seven <= 0x17) return 256 + seven;                  // 0000000..0010111
        const uint32_t eight = Code(1, seven);
        if (eight >= 0x30 && eight <= 0xBF) return eight - 0x30;
        if (eight >= 0xC0 && eight <= 0xC7) return 280 + eight - 0xC0;
        const uint32_t nine = Code(1, eight);
        if (nine >= 0x190 && nine <= 0x1FF) return 144 + nine - 0x190;
        throw std::runtime_error("no such fixed code");
    }

    void Stored(std::vector<uint8_t>& out)
    {
        bit_ = (bit_ + 7) / 8 * 8;
        const uint32_t length = Bits(16);
        const uint32_t complement = Bits(16);
        if ((length ^ 0xFFFF) != complement) throw std::runtime_error("stored length check");
        for (uint32_t i = 0; i < length; i++) out.push_back(static_cast<uint8_t>(Bits(8)));
    }

    void Fixed(std::vector<uint8_t>& out)
    {
        static const int LengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                         31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int DistanceBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                           33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        while (true) {
            const uint32_t symbol = FixedSymbol();
            if (symbol < 256) {
                out.push_back(static_cast<uint8_t>(symbol));
                continue;
            }
            if (symbol == 256) return;
            if (symbol > 285) throw std::runtime_error("length symbol " + std::to_string(symbol));
            const int l = static_cast<int>(symbol - 257);
            const int lengthExtra = (l < 8 || l == 28) ? 0 : (l - 4) / 4;
            const size_t length = LengthBase[l] + Bits(lengthExtra);
            const uint32_t d = Code(5);
            if (d > 29) throw std::runtime_error("distance symbol " + std::to_string(d));
            const int distanceExtra = d < 4 ? 0 : static_cast<int>(d / 2 - 1);
            const size_t distance = DistanceBase[d] + Bits(distanceExtra);
            if (distance > out.size() || distance > 32768) throw std::runtime_error("distance beyond the window");
            for (size_t i = 0; i < length; i++) out.push_back(out[out.size() - distance]);
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t bit_ = 0;
    size_t consumed_ = 0;
};

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& deflated)
{
    Inflater inflater(deflated.data(), deflated.size());
    std::vector<uint8_t> out = inflater.Run();
    EXPECT_EQ(inflater.Consumed(), deflated.size()) << "bytes after the final block";
    return out;
}

uint32_t BigEndian32(const uint8_t* at)
{
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3];
}

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// Splits a PNG file into its chunks, checking the signature and every CRC.
std::vector<Chunk> Chunks(const std::vector<uint8_t>& png)
{
    static const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<Chunk> chunks;
    EXPECT_TRUE(png.size() >= 8 && std::memcmp(png.data(), Signature, 8) == 0);
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = BigEndian32(&png[at]);
        EXPECT_LE(at + 12 + length, png.size());
        if (at + 12 + length > png.size()) break;
        EXPECT_EQ(BigEndian32(&png[at + 8 + length]), Crc32(&png[at + 4], 4 + length));
        chunks.push_back({std::string(png.begin() + at + 4, png.begin() + at + 8),
                          std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)});
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

// Undoes the five row filters of 8-bit RGB scanlines; returns 0x00RRGGBB pixels.
std::vector<uint32_t> Unfilter(const std::vector<uint8_t>& scanlines, uint32_t width, uint32_t height)
{
    const size_t stride = size_t(width) * 3;
    std::vector<uint8_t> above(stride, 0);
    std::vector<uint8_t> row(stride);
    std::vector<uint32_t> pixels;
    EXPECT_EQ(scanlines.size(), (stride + 1) * height);
    if (scanlines.size() != (stride + 1) * height) return pixels;
    for (uint32_t y = 0; y < height; y++) {
        const uint8_t* line = &scanlines[y * (stride + 1)];
        const int filter = line[0];
        EXPECT_LE(filter, 4);
        for (size_t i = 0; i < stride; i++) {
            const int a = i >= 3 ? row[i - 3] : 0;
            const int b = above[i];
            const int c = i >= 3 ? above[i - 3] : 0;
            int predictor = 0;
            if (filter == 1) predictor = a;
            if (filter == 2) predictor = b;
            if (filter == 3) predictor = (a + b) >> 1;
            if (filter == 4) {
                const int p = a + b - c;
                const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
            }
            row[i] = static_cast<uint8_t>(line[1 + i] + predictor);
        }
        for (uint32_t x = 0; x < width; x++)
            pixels.push_back(uint32_t(row[3 * x]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x + 2]);
        above = row;
    }
    return pixels;
}

// Decodes a PNG written by EncodePng back to pixels.
std::vector<uint32_t> DecodePng(const std::vector<uint8_t>& png, uint32_t& width, uint32_t& height)
{
    const std::vector<Chunk> chunks = Chunks(png);
    EXPECT_EQ(chunks.size(), 3u);
    if (chunks.size() != 3) return {};
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
    const std::vector<uint8_t>& header = chunks[0].data;
    EXPECT_EQ(header.size(), 13u);
    width = BigEndian32(&header[0]);
    height = BigEndian32(&header[4]);
    EXPECT_EQ(std::vector<uint8_t>(header.begin() + 8, header.end()), (std::vector<uint8_t>{8, 2, 0, 0, 0}));
    const std::vector<uint8_t>& stream = chunks[1].data;
    EXPECT_EQ(stream[0], 0x78);
    EXPECT_EQ((stream[0] * 256 + stream[1]) % 31, 0);
    const std::vector<uint8_t> scanlines =
        Inflate(std::vector<uint8_t>(stream.begin() + 2, stream.end() - 4));
    EXPECT_EQ(BigEndian32(&stream[stream.size() - 4]), Adler32(scanlines.data(), scanlines.size()));
    return Unfilter(scanlines, width, height);
}

}   // namespace

TEST(CaptureChecksums, PublishedValuesAndContinuation)
{
    const auto digits = Bytes("123456789");
    EXPECT_EQ(Crc32(digits.data(), digits.size()), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    const auto iend = Bytes("IEND");
    EXPECT_EQ(Crc32(iend.data(), iend.size()), 0xAE426082u);   // the CRC every PNG ends with
    EXPECT_EQ(Crc32(digits.data() + 4, 5, Crc32(digits.data(), 4)), 0xCBF43926u);

    const auto wikipedia = Bytes("Wikipedia");
    EXPECT_EQ(Adler32(wikipedia.data(), wikipedia.size()), 0x11E60398u);
    EXPECT_EQ(Adler32(nullptr, 0), 1u);
    // Long runs of 0xFF are where the sums would overflow without the
    // periodic reduction.
    const std::vector<uint8_t> ones(100000, 0xFF);
    uint32_t a = 1, b = 0;
    for (uint8_t byte : ones) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(ones.data(), ones.size()), b << 16 | a);
    EXPECT_EQ(Adler32(ones.data() + 7000, 93000, Adler32(ones.data(), 7000)), b << 16 | a);
}

TEST(CaptureDeflate, RoundTripsAndCompresses)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        size_t largestOutput;   // what it must compress to at most
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, 8});
    cases.push_back({"one byte", {42}, 8});
    cases.push_back({"short text", Bytes("abcabcabcabcabcabcabc the end"), 40});
    cases.push_back({"long run", std::vector<uint8_t>(100000, 7), 1000});
    // Random bytes don't compress: stored blocks, the first one full.
    cases.push_back({"random", RandomBytes(70000, 1), 70000 + 10});
    std::vector<uint8_t> repeated;
    const auto block = RandomBytes(1000, 2);
    for (int i = 0; i < 40; i++) repeated.insert(repeated.end(), block.begin(), block.end());
    cases.push_back({"repeated block", repeated, 2000});
    // A block seen exactly one window (32768 bytes) back may be matched (the
    // whole then codes below its 37,768 bytes, stored or not); one seen
    // 40000 bytes back may not.
    auto window = RandomBytes(32768, 3);
    window.insert(window.end(), window.begin(), window.begin() + 5000);
    cases.push_back({"window edge", window, 36000});
    auto beyond = RandomBytes(40000, 4);
    beyond.insert(beyond.end(), beyond.begin(), beyond.begin() + 5000);
    cases.push_back({"beyond the window", beyond, 45000 + 20});
    std::vector<uint8_t> every;   // every byte value and every match length
    for (int i = 0; i < 256; i++) every.push_back(static_cast<uint8_t>(i));
    for (int length = 3; length <= 258; length++) {
        for (int i = 0; i < length; i++) every.push_back(static_cast<uint8_t>(i));
        every.push_back(static_cast<uint8_t>(255 - length));
    }
    cases.push_back({"all lengths", every, every.size()});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> deflated = Deflate(c.data.data(), c.data.size());
        EXPECT_LE(deflated.size(), c.largestOutput);
        try {
            EXPECT_EQ(Inflate(deflated), c.data);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }

        const std::vector<uint8_t> stream = ZlibCompress(c.data.data(), c.data.size());
        ASSERT_EQ(stream.size(), deflated.size() + 6);
        EXPECT_EQ(stream[0], 0x78);
        EXPECT_EQ((stream[0] * 256 + stream[1]) % 31, 0);
        EXPECT_EQ(0, std::memcmp(stream.data() + 2, deflated.data(), deflated.size()));
        EXPECT_EQ(BigEndian32(&stream[stream.size() - 4]), Adler32(c.data.data(), c.data.size()));
    }
}

TEST(CapturePng, DecodesToThePixelsGiven)
{
    struct Size {
        uint32_t width, height;
    };
    std::mt19937 random(5);
    for (const Size size : {Size{640, 400}, Size{1, 1}, Size{3, 2}, Size{7, 9}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        // Smooth gradients (which the predicting filters suit), flat areas
        // and noise, so that every filter gets chosen somewhere.
        std::vector<uint32_t> pixels(size_t(size.width) * size.height);
        for (uint32_t y = 0; y < size.height; y++) {
            for (uint32_t x = 0; x < size.width; x++) {
                uint32_t& p = pixels[size_t(y) * size.width + x];
                if (y % 100 < 30) p = 0x002B0000;
                else if (y % 100 < 60) p = ((x + y) & 0xFF) << 16 | ((x * 2) & 0xFF) << 8 | (y & 0xFF);
                else if (y % 100 < 80) p = ((x / 8 + y / 8) & 1) ? 0x00E9C4C6 : 0x00865052;
                else p = random() & 0x00FFFFFF;
            }
        }
        const std::vector<uint8_t> png = EncodePng(pixels.data(), size.width, size.height);
        uint32_t width = 0, height = 0;
        try {
            const std::vector<uint32_t> decoded = DecodePng(png, width, height);
            EXPECT_EQ(width, size.width);
            EXPECT_EQ(height, size.height);
            EXPECT_TRUE(decoded == pixels);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(CapturePng, FiltersChosenPerRow)
{
    // A horizontal ramp is all "sub", a copy of the row above all "up".
    constexpr uint32_t Width = 64, Height = 4;
    std::vector<uint32_t> pixels(Width * Height);
    for (uint32_t x = 0; x < Width; x++) pixels[x] = (x * 3) << 16 | (x * 2) << 8 | x;
    for (uint32_t y = 1; y < Height; y++)
        for (uint32_t x = 0; x < Width; x++) pixels[y * Width + x] = (x * 37 % 251) << 8;
    for (uint32_t x = 0; x < Width; x++) pixels[3 * Width + x] = pixels[2 * Width + x];
    const std::vector<Chunk> chunks = Chunks(EncodePng(pixels.data(), Width, Height));
    ASSERT_EQ(chunks.size(), 3u);
    const std::vector<uint8_t>& stream = chunks[1].data;
    const std::vector<uint8_t> scanlines = Inflate(std::vector<uint8_t>(stream.begin() + 2, stream.end() - 4));
    ASSERT_EQ(scanlines.size(), (Width * 3 + 1) * Height);
    EXPECT_EQ(scanlines[0], 1);                          // ramp: sub
    EXPECT_EQ(scanlines[3 * (Width * 3 + 1)], 2);        // repeated row: up
}
