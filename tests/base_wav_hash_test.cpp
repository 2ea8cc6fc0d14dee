// The WAV writer's header and sample bytes, and the frame hash the capture
// tool prints.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/frame_hash.h"
#include "base/wav_writer.h"

TEST(WavWriter, HeaderForMono16BitAt44100)
{
    const auto header = WavHeader(3);
    const uint8_t expected[WavHeaderBytes] = {
        'R',  'I',  'F', 'F', 42,   0,    0,    0,                              // 36 + 6 data bytes
        'W',  'A',  'V', 'E', 'f',  'm',  't',  ' ', 16, 0, 0, 0, 1, 0, 1, 0,   // format record size; PCM; one channel
        0x44, 0xAC, 0,   0,   0x88, 0x58, 0x01, 0,   // 44,100 samples and 88,200 bytes a second
        2,    0,    16,  0,                          // block alignment, bits per sample
        'd',  'a',  't', 'a', 6,    0,    0,    0};
    EXPECT_EQ(0, std::memcmp(header.data(), expected, WavHeaderBytes));

    const auto largest = WavHeader(static_cast<uint32_t>(MaxWavSamples));
    const uint32_t riffSize = largest[4] | largest[5] << 8 | largest[6] << 16 | uint32_t(largest[7]) << 24;
    const uint32_t dataSize = largest[40] | largest[41] << 8 | largest[42] << 16 | uint32_t(largest[43]) << 24;
    EXPECT_EQ(uint64_t(dataSize), 2 * MaxWavSamples);
    EXPECT_EQ(uint64_t(riffSize), 36 + 2 * MaxWavSamples);
}

TEST(WavWriter, SamplesAreLittleEndian)
{
    const int16_t samples[] = {-1, 0x1234, -32768, 32767, 0};
    uint8_t bytes[10];
    SamplesToLittleEndian(samples, 5, bytes);
    const uint8_t expected[10] = {0xFF, 0xFF, 0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F, 0, 0};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 10));
}

TEST(FrameHash, PublishedFnv1aValues)
{
    EXPECT_EQ(Fnv1a64("", 0), 0xcbf29ce484222325ull);
    EXPECT_EQ(Fnv1a64("a", 1), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(Fnv1a64("foobar", 6), 0x85944171f73967e8ull);
    EXPECT_EQ(Fnv1a64("bar", 3, Fnv1a64("foo", 3)), 0x85944171f73967e8ull);
}

TEST(FrameHash, PixelsHashAsBlueGreenRedZero)
{
    const uint32_t pixels[] = {0x00112233, 0x002B0000, 0x00E9C4C6};
    const uint8_t bytes[] = {0x33, 0x22, 0x11, 0, 0x00, 0x00, 0x2B, 0, 0xC6, 0xC4, 0xE9, 0};
    EXPECT_EQ(HashPixels(pixels, 3), Fnv1a64(bytes, sizeof bytes));
    EXPECT_EQ(HashPixels(pixels, 0), FnvOffsetBasis);

    // A whole flat picture of Palette[0], hashed byte by byte.
    std::vector<uint32_t> picture(640 * 400, 0x002B0000);
    std::vector<uint8_t> serial;
    for (uint32_t p : picture) serial.insert(serial.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), 0});
    ASSERT_EQ(serial.size(), 1024000u);
    EXPECT_EQ(HashPixels(picture.data(), picture.size()), Fnv1a64(serial.data(), serial.size()));
}

TEST(FrameHash, SixteenLowercaseHexDigits)
{
    char text[17];
    FormatHash(0x0123456789abcdefull, text);
    EXPECT_STREQ(text, "0123456789abcdef");
    FormatHash(1, text);
    EXPECT_STREQ(text, "0000000000000001");
    FormatHash(~0ull, text);
    EXPECT_STREQ(text, "ffffffffffffffff");
}
