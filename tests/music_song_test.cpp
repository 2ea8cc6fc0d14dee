// Loading a register dump and decoding its frames, in both encodings.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "music/player_state.h"
#include "music/song_decoder.h"
#include "music_test_songs.h"

namespace {

using namespace music_test;

using SongLoad = MusicTest;
using SongRawFrames = MusicTest;
using SongDeltaFrames = MusicTest;
using SongEnd = MusicTest;

// The registers as one comparable value: periods, noise, mixer, volumes,
// envelope period.
struct Registers {
    uint16_t period[3];
    int32_t noise;
    uint8_t mixer;
    int32_t volume[3];
    int32_t envelopePeriod;
    bool operator==(const Registers&) const = default;
};

Registers Current()
{
    Registers r{};
    for (int v = 0; v < 3; ++v) {
        r.period[v] = Player.voices[v].period;
        r.volume[v] = Player.voices[v].volume;
    }
    r.noise = Player.chip.noisePeriod;
    r.mixer = Player.chip.mixer;
    r.envelopePeriod = Player.chip.envelopePeriod;
    return r;
}

TEST_F(SongLoad, OnlyAnExactUpperCaseMagicSelectsTheDeltaFormat)
{
    std::vector<uint8_t> delta = DeltaHeader();
    AppendDelta(delta, 0x0000);
    Load(delta);
    EXPECT_EQ(Player.compressed, 1);
    EXPECT_EQ(Player.readPosition, DeltaHeaderSize);
    EXPECT_EQ(Player.songSize, static_cast<int32_t>(delta.size()));

    for (const char* magic : {"ymdx", "YMDx", "XMDY", "YMD"}) {
        RestorePlayerStartState();
        std::vector<uint8_t> song(magic, magic + std::strlen(magic));
        song.resize(2 * RawFrameSize, 0);
        Load(song);
        EXPECT_EQ(Player.compressed, 0) << magic;
        EXPECT_EQ(Player.readPosition, 0) << magic;
        // Decoded as a raw frame: "ym" is tone A's period, little-endian.
        DecodeFrame();
        EXPECT_EQ(Player.voices[0].period, magic[0] | magic[1] << 8) << magic;
    }
}

TEST_F(SongLoad, LoadingPreparesTheStartRegistersAndTables)
{
    Load(RawSong({{}}));
    EXPECT_EQ(Player.chip.mixer, 255);
    EXPECT_EQ(Player.chip.noisePeriod, 0);
    const int32_t halved[16] = {31, 80, 132, 188, 290, 387, 577, 787, 1130, 1544, 2285, 3116, 4665, 6593, 10610, 16383};
    for (int level = 0; level < 16; ++level) EXPECT_EQ(Player.VolumeTable[level], halved[level]);
    EXPECT_EQ(Player.NoiseTable[0], -763);
}

TEST_F(SongLoad, AMissingOrEmptySongDecodesZeroFramesForever)
{
    LoadSong(AssetBytes{});   // a missing file: no bytes, size -1
    EXPECT_EQ(Player.songSize, -1);
    EXPECT_EQ(Player.compressed, 0);
    for (int i = 0; i < 3; ++i) {
        Player.envelopePhase = 12345;
        DecodeFrame();
        EXPECT_EQ(Player.readPosition, RawFrameSize);
        // Mixer 0: every tone and noise on; shape 0 restarted every frame.
        EXPECT_EQ(Current(), Registers{});
        EXPECT_EQ(Player.voices[2].toneEnable, 1);
        EXPECT_EQ(Player.voices[2].noiseEnable, 1);
        EXPECT_EQ(Player.envelopePattern, DecayPattern);
        EXPECT_EQ(Player.envelopePhase, 0u);
    }

    RestorePlayerStartState();
    Load({});
    EXPECT_EQ(Player.songSize, 0);
    DecodeFrame();
    DecodeFrame();
    EXPECT_EQ(Current(), Registers{});
    EXPECT_EQ(Player.readPosition, RawFrameSize);
}

TEST_F(SongRawFrames, FieldsFlagsAndMasks)
{
    Load(RawSong({{.periodA = 0xF123,
                   .periodB = 0x0456,
                   .periodC = 0x0FFF,
                   .noisePeriod = 0x3F,
                   .mixer = 0x38,
                   .volumeA = 0x1F,
                   .volumeB = 0x0F,
                   .volumeC = 0xE5,
                   .envelopeLow = 0x34,
                   .envelopeHigh = 0x12,
                   .shape = 9},
                  {.noisePeriod = 0x25, .mixer = 0x07}}));
    DecodeFrame();
    EXPECT_EQ(Current(), (Registers{{0xF123, 0x0456, 0x0FFF}, 31, 0x38, {0x1F, 0x0F, 0xE5}, 0x1234}));
    EXPECT_EQ(Player.chip.envelopeShape, 9);
    for (int v = 0; v < 3; ++v) {
        EXPECT_EQ(Player.voices[v].toneEnable, 1);
        EXPECT_EQ(Player.voices[v].noiseEnable, 0);
    }
    // Bit 4 of the volume is the envelope mode; bits 5 to 7 mean nothing.
    EXPECT_EQ(Player.voices[0].envelopeMode, 1);
    EXPECT_EQ(Player.voices[1].envelopeMode, 0);
    EXPECT_EQ(Player.voices[2].envelopeMode, 0);

    DecodeFrame();
    EXPECT_EQ(Player.chip.noisePeriod, 5);
    for (int v = 0; v < 3; ++v) {
        EXPECT_EQ(Player.voices[v].toneEnable, 0);
        EXPECT_EQ(Player.voices[v].noiseEnable, 1);
    }
}

TEST_F(SongRawFrames, ThreeFramesLoopWithoutAPause)
{
    Load(RawSong({{.periodA = 100}, {.periodA = 101}, {.periodA = 102}}));
    for (int i = 0; i < 10; ++i) {
        DecodeFrame();
        EXPECT_EQ(Player.voices[0].period, 100 + i % 3) << "frame " << i;
    }
}

TEST_F(SongRawFrames, APartialLastFrameIsCompletedWithZeros)
{
    std::vector<uint8_t> song = RawSong({{.periodA = 7, .mixer = 0x3F, .volumeA = 9, .volumeC = 3},
                                         {.periodA = 0x0201,
                                          .periodB = 0x0403,
                                          .noisePeriod = 5,
                                          .mixer = 6,
                                          .volumeA = 7,
                                          .volumeB = 8,
                                          .volumeC = 9,
                                          .envelopeLow = 10}});
    song.resize(RawFrameSize + 10);   // the second frame ends after volume B
    Load(song);
    DecodeFrame();
    DecodeFrame();
    EXPECT_EQ(Current(), (Registers{{0x0201, 0x0403, 0}, 5, 6, {7, 8, 0}, 0}));
    DecodeFrame();
    EXPECT_EQ(Player.voices[0].period, 7);
    EXPECT_EQ(Player.readPosition, RawFrameSize);
}

TEST_F(SongRawFrames, ShapeByte255LeavesTheEnvelopeRunning)
{
    Load(RawSong({{.shape = 8}, {.shape = 255}, {.shape = 15}}));
    DecodeFrame();
    EXPECT_EQ(Player.envelopePattern, FallingSawPattern);
    Player.envelopePhase = 0x12345678;
    DecodeFrame();
    EXPECT_EQ(Player.envelopePattern, FallingSawPattern);
    EXPECT_EQ(Player.envelopePhase, 0x12345678u);
    EXPECT_EQ(Player.chip.envelopeShape, 255);
    DecodeFrame();
    EXPECT_EQ(Player.envelopePattern, AttackPattern);   // shape 15
    EXPECT_EQ(Player.envelopePhase, 0u);
}

TEST_F(SongDeltaFrames, FrameLengthsAndRegisterOrder)
{
    std::vector<uint8_t> song = DeltaHeader();
    AppendDelta(song, 0x0000);
    AppendDelta(song, 0x0003);
    AppendDelta(song, 0xFFFC, {0x34, 0x02, 0x56, 0x04, 0x78, 0x06, 0x3F, 0x2A, 0x1F, 0x0E, 0x12, 0xCD, 0xAB, 4});
    AppendDelta(song, 0x8400, {0x7B, 0x0F});
    AppendDelta(song, 0x4000, {0x09});
    Load(song);

    const Registers start = Current();
    DecodeFrame();
    EXPECT_EQ(Player.readPosition, 34);
    EXPECT_EQ(Current(), start);
    DecodeFrame();
    EXPECT_EQ(Player.readPosition, 36);
    EXPECT_EQ(Current(), start);
    EXPECT_EQ(Player.envelopePattern, StartPattern);

    DecodeFrame();
    EXPECT_EQ(Player.readPosition, 52);
    EXPECT_EQ(Current(), (Registers{{0x0234, 0x0456, 0x0678}, 31, 0x2A, {0x1F, 0x0E, 0x12}, 0xABCD}));
    EXPECT_EQ(Player.envelopePattern, AttackPattern);   // shape 4
    EXPECT_EQ(Player.voices[0].toneEnable, 1);
    EXPECT_EQ(Player.voices[1].toneEnable, 0);
    EXPECT_EQ(Player.voices[2].toneEnable, 1);
    EXPECT_EQ(Player.voices[0].noiseEnable, 0);
    EXPECT_EQ(Player.voices[1].noiseEnable, 1);
    EXPECT_EQ(Player.voices[0].envelopeMode, 1);
    EXPECT_EQ(Player.voices[1].envelopeMode, 0);
    EXPECT_EQ(Player.voices[2].envelopeMode, 1);

    // 0x8400: register 0 (tone A low) and register 5 (tone C high) only.
    DecodeFrame();
    EXPECT_EQ(Player.readPosition, 56);
    EXPECT_EQ(Current(), (Registers{{0x027B, 0x0456, 0x0F78}, 31, 0x2A, {0x1F, 0x0E, 0x12}, 0xABCD}));

    // Register 1 alone: tone A's high byte, its low byte kept.
    DecodeFrame();
    EXPECT_EQ(Player.readPosition, 59);
    EXPECT_EQ(Player.voices[0].period, 0x097B);
    EXPECT_EQ(Player.chip.tonePeriodBytes[0], 0x7B);
}

TEST_F(SongDeltaFrames, EveryShapeWriteRestartsTheEnvelopeEven255)
{
    std::vector<uint8_t> song = DeltaHeader();
    AppendDelta(song, 0x0004, {8});
    AppendDelta(song, 0x0000);
    AppendDelta(song, 0x0004, {255});
    Load(song);
    DecodeFrame();
    EXPECT_EQ(Player.envelopePattern, FallingSawPattern);
    Player.envelopePhase = 0x12345678;
    DecodeFrame();
    EXPECT_EQ(Player.envelopePhase, 0x12345678u);
    DecodeFrame();
    EXPECT_EQ(Player.chip.envelopeShape, 255);
    EXPECT_EQ(Player.envelopePattern, AttackPattern);   // 255 selects shape 15
    EXPECT_EQ(Player.envelopePhase, 0u);
}

TEST_F(SongDeltaFrames, NoisePeriodKeepsItsLowFiveBits)
{
    std::vector<uint8_t> song = DeltaHeader();
    AppendDelta(song, 0x0200, {0x3F});
    AppendDelta(song, 0x0200, {0xE4});
    Load(song);
    DecodeFrame();
    EXPECT_EQ(Player.chip.noisePeriod, 31);
    DecodeFrame();
    EXPECT_EQ(Player.chip.noisePeriod, 4);
}

TEST_F(SongEnd, ADeltaSongPlaysAgainFromItsFirstFrame)
{
    std::vector<uint8_t> song = DeltaHeader();
    AppendDelta(song, 0xC000, {0x01, 0x01});   // tone A 0x101
    AppendDelta(song, 0x8100, {0x02, 0x3E});   // tone A 0x102, mixer
    AppendDelta(song, 0x8000, {0x03});         // tone A 0x103
    Load(song);
    const uint16_t expected[] = {0x101, 0x102, 0x103};
    for (int i = 0; i < 9; ++i) {
        DecodeFrame();
        EXPECT_EQ(Player.voices[0].period, expected[i % 3]) << "frame " << i;
    }
    EXPECT_EQ(Player.readPosition, static_cast<int32_t>(song.size()));
}

TEST_F(SongEnd, ADeltaFrameCutShortReadsZerosThenTheSongLoops)
{
    std::vector<uint8_t> song = DeltaHeader();
    AppendDelta(song, 0xC000, {0x11, 0x01});
    AppendDelta(song, 0xFFFC, {0x22, 0x02, 0x33});   // 11 of its values missing
    Load(song);
    DecodeFrame();
    Player.voices[1].volume = 0x0F;
    DecodeFrame();
    EXPECT_EQ(Current(), (Registers{{0x0222, 0x0033, 0}, 0, 0, {0, 0, 0}, 0}));
    EXPECT_EQ(Player.envelopePattern, DecayPattern);   // shape 0
    DecodeFrame();
    EXPECT_EQ(Player.voices[0].period, 0x0111);
    EXPECT_EQ(Player.readPosition, DeltaHeaderSize + 4);
}

TEST_F(SongEnd, AHeaderWithoutFramesHoldsTheStartRegisters)
{
    std::vector<uint8_t> song = DeltaHeader();
    song.resize(20);   // not even a whole header
    Load(song);
    EXPECT_EQ(Player.compressed, 1);
    const Registers start = Current();
    for (int i = 0; i < 5; ++i) {
        DecodeFrame();
        EXPECT_EQ(Player.readPosition, DeltaHeaderSize + 2);
        EXPECT_EQ(Current(), start);
    }
}

TEST_F(SongEnd, AnOversizeRawSongIsCutAtTheBufferAndNeverReadPastIt)
{
    std::vector<uint8_t> song(SongBufferSize + 5000, 0xAB);
    Load(song);
    EXPECT_EQ(Player.songSize, SongBufferSize);
    // 36571 whole frames fit; the one after them holds the buffer's last 10
    // bytes and reads zeros for the rest.
    const int32_t wholeFrames = SongBufferSize / RawFrameSize;
    for (int32_t i = 0; i < wholeFrames; ++i) DecodeFrame();
    EXPECT_EQ(Current(), (Registers{{0xABAB, 0xABAB, 0xABAB}, 0x0B, 0xAB, {0xAB, 0xAB, 0xAB}, 0xABAB}));
    DecodeFrame();
    EXPECT_EQ(Current(), (Registers{{0xABAB, 0xABAB, 0xABAB}, 0x0B, 0xAB, {0xAB, 0xAB, 0}, 0}));
    EXPECT_EQ(Player.envelopePattern, DecayPattern);
    DecodeFrame();
    EXPECT_EQ(Player.readPosition, RawFrameSize);
    EXPECT_EQ(Player.voices[2].volume, 0xAB);
}

TEST_F(SongEnd, ADeltaFrameAtTheEndOfAFullBufferReadsZerosPastIt)
{
    // Zero masks up to the buffer's last four bytes, then a frame that
    // announces all 14 registers and only has room for two.
    std::vector<uint8_t> song = DeltaHeader();
    AppendDelta(song, 0xFFFC, {1, 1, 2, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    const size_t lastFrame = SongBufferSize - 4;
    song.resize(lastFrame, 0);
    AppendDelta(song, 0xFFFC, {0x44, 0x04});
    song.resize(SongBufferSize + 100, 0x77);   // beyond the buffer: never read
    Load(song);
    EXPECT_EQ(Player.songSize, SongBufferSize);

    const int32_t zeroFrames = static_cast<int32_t>(lastFrame - (DeltaHeaderSize + 16)) / 2;
    for (int32_t i = 0; i < 1 + zeroFrames; ++i) DecodeFrame();
    EXPECT_EQ(Current(), (Registers{{0x0101, 0x0202, 0x0303}, 4, 5, {6, 7, 8}, 0x0A09}));
    DecodeFrame();
    EXPECT_EQ(Current(), (Registers{{0x0444, 0, 0}, 0, 0, {0, 0, 0}, 0}));
    EXPECT_EQ(Player.readPosition, SongBufferSize + 12);
    DecodeFrame();   // back to the first frame
    EXPECT_EQ(Current(), (Registers{{0x0101, 0x0202, 0x0303}, 4, 5, {6, 7, 8}, 0x0A09}));
}

}   // namespace
