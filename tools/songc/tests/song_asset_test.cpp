// The committed song, read back with a decoder of its own (not the
// compiler's): the file's layout, the register ranges, and what a listener
// holds the tune to -- its length, all three voices, noise drums, the
// envelope, equal-tempered tuning.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

struct DecodedSong {
    uint32_t headerFrames = 0;
    std::vector<std::array<uint8_t, 14>> frames;
    std::vector<uint16_t> masks;
    size_t endOffset = 0;
};

std::vector<uint8_t> ReadSong()
{
    std::ifstream in(SONG_ASSET_PATH, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decodes the frames one after another; stops early (leaving endOffset short
// of the file's size) if a frame would run past the end.
DecodedSong Decode(const std::vector<uint8_t>& bytes)
{
    DecodedSong song;
    if (bytes.size() < 32) return song;
    song.headerFrames = static_cast<uint32_t>(bytes[4]) << 24 | bytes[5] << 16 | bytes[6] << 8 | bytes[7];
    size_t at = 32;
    std::array<uint8_t, 14> regs{};
    while (at + 2 <= bytes.size()) {
        const uint16_t mask = static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
        size_t n = 0;
        for (int r = 0; r < 14; ++r) n += (mask >> (15 - r)) & 1;
        if (at + 2 + n > bytes.size()) break;
        at += 2;
        for (int r = 0; r < 14; ++r) {
            if ((mask >> (15 - r)) & 1) regs[static_cast<size_t>(r)] = bytes[at++];
        }
        song.masks.push_back(mask);
        song.frames.push_back(regs);
    }
    song.endOffset = at;
    return song;
}

TEST(SongAsset, LayoutAndLength)
{
    const std::vector<uint8_t> bytes = ReadSong();
    ASSERT_GT(bytes.size(), 32u) << SONG_ASSET_PATH;
    ASSERT_LE(bytes.size(), 512004u);   // the player's song buffer
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "YMDX");
    const DecodedSong song = Decode(bytes);
    EXPECT_EQ(song.endOffset, bytes.size()) << "the last frame does not end exactly at the end of the file";
    EXPECT_EQ(song.headerFrames, song.frames.size());
    EXPECT_GE(song.frames.size(), 6000u) << "shorter than two minutes";
    ASSERT_FALSE(song.masks.empty());
    // The first frame sets every register, so the loop back to it is clean.
    EXPECT_EQ(song.masks.front(), 0xFFFC);
    for (const uint16_t mask : song.masks) ASSERT_EQ(mask & 3, 0);
}

TEST(SongAsset, RegistersInRangeAndEveryPartUsed)
{
    const DecodedSong song = Decode(ReadSong());
    ASSERT_FALSE(song.frames.empty());
    std::array<int, 3> toneFrames{};
    int noiseFrames = 0, envelopeFrames = 0, shapeWrites = 0;
    for (size_t i = 0; i < song.frames.size(); ++i) {
        const auto& r = song.frames[i];
        for (int v = 0; v < 3; ++v) {
            EXPECT_LE(r[static_cast<size_t>(2 * v + 1)], 0x0F) << "tone period beyond 12 bits, frame " << i;
            const int volume = r[static_cast<size_t>(8 + v)];
            ASSERT_LE(volume, 31) << "frame " << i;
            const bool tone = !((r[7] >> v) & 1);
            if (tone && (volume & 15 || volume & 16)) ++toneFrames[static_cast<size_t>(v)];
            if (!((r[7] >> (3 + v)) & 1)) ++noiseFrames;
            if (volume & 16) ++envelopeFrames;
        }
        EXPECT_LE(r[6], 31);
        EXPECT_LE(r[7], 0x3F);
        if ((song.masks[i] >> 2) & 1) {
            ++shapeWrites;
            EXPECT_LE(r[13], 15);
        }
    }
    for (int v = 0; v < 3; ++v) EXPECT_GT(toneFrames[static_cast<size_t>(v)], 1500) << "voice " << v << " barely plays";
    EXPECT_GT(noiseFrames, 300);
    EXPECT_GT(envelopeFrames, 300);
    EXPECT_GT(shapeWrites, 50);
}

// Sounding tones sit on equal-tempered notes (A = 440 Hz, period =
// round(125,000 / f)); only vibrato and the drums' falls leave them.
TEST(SongAsset, TonesAreEqualTempered)
{
    const DecodedSong song = Decode(ReadSong());
    ASSERT_FALSE(song.frames.empty());
    std::vector<int> notePeriods;
    for (int n = 12; n < 120; ++n) {
        notePeriods.push_back(static_cast<int>(std::lround(125000.0 / (440.0 * std::pow(2.0, (n - 69) / 12.0)))));
    }
    int sounding = 0, onNote = 0;
    for (const auto& r : song.frames) {
        for (int v = 0; v < 3; ++v) {
            const int volume = r[static_cast<size_t>(8 + v)];
            if (((r[7] >> v) & 1) || volume == 0) continue;
            const int period = r[static_cast<size_t>(2 * v)] | r[static_cast<size_t>(2 * v + 1)] << 8;
            ++sounding;
            bool exact = false;
            double nearest = 1e9;
            for (const int p : notePeriods) {
                exact |= p == period;
                nearest = std::min(nearest, std::abs(1200.0 * std::log2(static_cast<double>(period) / p)));
            }
            onNote += exact;
            // Nothing audible drifts a quarter tone off the scale, save where
            // a period step is itself that coarse.
            EXPECT_LT(nearest, std::max(50.0, 1200.0 * std::log2((period + 1.0) / period))) << "period " << period;
        }
    }
    ASSERT_GT(sounding, 0);
    EXPECT_GT(static_cast<double>(onNote) / sounding, 0.85) << onNote << " of " << sounding;
}

}   // namespace
