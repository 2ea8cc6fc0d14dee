// Song files built by the music tests, and a fixture that loads them into a
// player returned to its start state.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/asset_files.h"
#include "music/player.h"
#include "music/player_state.h"
#include "music/song_decoder.h"

namespace music_test {

// One raw 14-byte frame.
struct RawFrame {
    uint16_t periodA = 0, periodB = 0, periodC = 0;
    uint8_t noisePeriod = 0;
    uint8_t mixer = 0xFF;
    uint8_t volumeA = 0, volumeB = 0, volumeC = 0;
    uint8_t envelopeLow = 0, envelopeHigh = 0;
    uint8_t shape = 255;
};

inline void Append(std::vector<uint8_t>& song, const RawFrame& f)
{
    const uint8_t bytes[RawFrameSize] = {
        static_cast<uint8_t>(f.periodA), static_cast<uint8_t>(f.periodA >> 8),
        static_cast<uint8_t>(f.periodB), static_cast<uint8_t>(f.periodB >> 8),
        static_cast<uint8_t>(f.periodC), static_cast<uint8_t>(f.periodC >> 8),
        f.noisePeriod, f.mixer, f.volumeA, f.volumeB, f.volumeC, f.envelopeLow, f.envelopeHigh, f.shape};
    song.insert(song.end(), bytes, bytes + RawFrameSize);
}

inline std::vector<uint8_t> RawSong(std::initializer_list<RawFrame> frames)
{
    std::vector<uint8_t> song;
    for (const RawFrame& f : frames) Append(song, f);
    return song;
}

// "YMDX" and a header of 28 bytes that the decoder skips (filled so that
// reading them by mistake shows).
inline std::vector<uint8_t> DeltaHeader()
{
    std::vector<uint8_t> song(DeltaHeaderSize, 0xEE);
    song[0] = 'Y';
    song[1] = 'M';
    song[2] = 'D';
    song[3] = 'X';
    return song;
}

// A delta frame: the big-endian change mask, then the values given.
inline void AppendDelta(std::vector<uint8_t>& song, uint16_t mask, std::initializer_list<uint8_t> values = {})
{
    song.push_back(static_cast<uint8_t>(mask >> 8));
    song.push_back(static_cast<uint8_t>(mask));
    song.insert(song.end(), values);
}

// A 32-bit generator for busy test songs.
struct SongRandom {
    uint32_t state;
    uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

// `frames` raw frames in which every register moves: all voices, noise,
// envelope mode on some voices, new shapes now and then.
inline std::vector<uint8_t> BusyRawSong(int frames, uint32_t seed)
{
    SongRandom random{seed};
    std::vector<uint8_t> song;
    for (int i = 0; i < frames; ++i) {
        RawFrame f;
        f.periodA = static_cast<uint16_t>(20 + random.Next() % 2000);
        f.periodB = static_cast<uint16_t>(20 + random.Next() % 1000);
        f.periodC = static_cast<uint16_t>(random.Next() % 4096);
        f.noisePeriod = static_cast<uint8_t>(random.Next());
        f.mixer = static_cast<uint8_t>(random.Next() & 0x3F & ~(i % 8 == 0 ? 0x3F : 0));
        f.volumeA = static_cast<uint8_t>(random.Next() & 0x1F);
        f.volumeB = static_cast<uint8_t>(random.Next() & 0x0F);
        f.volumeC = static_cast<uint8_t>(0x10 | (random.Next() & 0x0F));
        f.envelopeLow = static_cast<uint8_t>(random.Next());
        f.envelopeHigh = static_cast<uint8_t>(random.Next() & 0x07);
        f.shape = i % 7 == 0 ? static_cast<uint8_t>(random.Next() & 15) : 255;
        Append(song, f);
    }
    return song;
}

// Each test starts from the player's start state and loads its own song
// from a temporary directory.
class MusicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              (std::string("quillmoor-music-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::create_directories(dir);
        RestorePlayerStartState();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::filesystem::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    void Load(const std::vector<uint8_t>& song) { LoadSongFromFile(WriteFile("song.dmp", song).c_str()); }

    // The first 9 FillCallback calls write nothing; spend those still due.
    static void PassCountdown()
    {
        int16_t unused[1];
        while (Player.startCountdown > 1) FillCallback(unused, 0);
    }

    // `samples` samples after the countdown, asked for in calls of `bytes`
    // bytes (the last call takes what is left).
    static std::vector<int16_t> Render(size_t samples, uint32_t bytes = 1764)
    {
        PassCountdown();
        std::vector<int16_t> out(samples);
        for (size_t at = 0; at < samples;) {
            const size_t n = std::min<size_t>(bytes / 2, samples - at);
            FillCallback(out.data() + at, static_cast<uint32_t>(n * 2));
            at += n;
        }
        return out;
    }

    std::filesystem::path dir;
};

} // namespace music_test
