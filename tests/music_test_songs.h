// Songs built by the music tests, and a fixture that loads them into a
// player returned to its start state.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

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
    const uint8_t bytes[RawFrameSize] = {static_cast<uint8_t>(f.periodA),
                                         static_cast<uint8_t>(f.periodA >> 8),
                                         static_cast<uint8_t>(f.periodB),
                                         static_cast<uint8_t>(f.periodB >> 8),
                                         static_cast<uint8_t>(f.periodC),
                                         static_cast<uint8_t>(f.periodC >> 8),
                                         f.noisePeriod,
                                         f.mixer,
                                         f.volumeA,
                                         f.volumeB,
                                         f.volumeC,
                                         f.envelopeLow,
                                         f.envelopeHigh,
                                         f.shape};
    for (uint8_t byte : bytes) song.push_back(byte);
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

// Each test starts from the player's start state and loads its own song.
class MusicTest : public ::testing::Test {
protected:
    void SetUp() override { RestorePlayerStartState(); }

    static void Load(const std::vector<uint8_t>& song) { LoadSong(AssetFromBytes(song)); }

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
};

}   // namespace music_test
