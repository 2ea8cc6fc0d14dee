#include "music/song_decoder.h"

#include <cstring>

#include "music/generators.h"
#include "music/player_state.h"

namespace {

// The song byte at `position`, or 0 past the loaded data.
uint8_t SongByte(int32_t position)
{
    return position >= 0 && position < Player.songSize ? Player.SongBuffer[position] : 0;
}

// Reads the song byte at the read position and moves past it.
uint8_t NextByte()
{
    return SongByte(Player.readPosition++);
}

void DeriveVoiceFlags()
{
    const uint32_t mixer = Player.chip.mixer;
    for (int v = 0; v < VoiceCount; ++v) {
        Voice& voice = Player.voices[v];
        voice.toneEnable = ((mixer >> v) & 1) ^ 1;
        voice.noiseEnable = ((mixer >> (3 + v)) & 1) ^ 1;
        voice.envelopeMode = (voice.volume >> 4) & 1;
    }
}

void DecodeRawFrame()
{
    if (Player.readPosition >= Player.songSize) Player.readPosition = 0;
    for (Voice& voice : Player.voices) {
        const uint32_t low = NextByte();
        voice.period = static_cast<uint16_t>(low | NextByte() << 8);
    }
    ChipRegisters& chip = Player.chip;
    chip.noisePeriod = NextByte() & 0x1F;
    chip.mixer = NextByte();
    for (Voice& voice : Player.voices) voice.volume = NextByte();
    chip.envelopePeriodLow = NextByte();
    chip.envelopePeriodHigh = NextByte();
    chip.envelopeShape = NextByte();
    // 255 means "no new shape": the envelope runs on.
    if (chip.envelopeShape != 255) RestartEnvelope(static_cast<uint32_t>(chip.envelopeShape));
    chip.envelopePeriod = chip.envelopePeriodHigh * 256 + chip.envelopePeriodLow;
    DeriveVoiceFlags();
}

void DecodeDeltaFrame()
{
    if (Player.readPosition >= Player.songSize) Player.readPosition = DeltaHeaderSize;
    const uint32_t high = NextByte();
    const uint32_t mask = high << 8 | NextByte();
    // Register r changes when mask bit 15 - r is set; its byte follows in
    // register order.
    auto changes = [mask](int r) { return (mask >> (15 - r)) & 1; };

    ChipRegisters& chip = Player.chip;
    for (int r = 0; r < 6; ++r) {
        if (changes(r)) chip.tonePeriodBytes[r] = NextByte();
    }
    for (int v = 0; v < VoiceCount; ++v) {
        Player.voices[v].period = static_cast<uint16_t>(chip.tonePeriodBytes[2 * v + 1] << 8 |
                                                        chip.tonePeriodBytes[2 * v]);
    }
    if (changes(6)) chip.noisePeriod = NextByte();
    chip.noisePeriod &= 0x1F;
    if (changes(7)) chip.mixer = NextByte();
    for (int v = 0; v < VoiceCount; ++v) {
        if (changes(8 + v)) Player.voices[v].volume = NextByte();
    }
    if (changes(11)) chip.envelopePeriodLow = NextByte();
    if (changes(12)) chip.envelopePeriodHigh = NextByte();
    chip.envelopePeriod = chip.envelopePeriodHigh * 256 + chip.envelopePeriodLow;
    // Every written shape restarts the envelope here, 255 included.
    if (changes(13)) {
        chip.envelopeShape = NextByte();
        RestartEnvelope(static_cast<uint32_t>(chip.envelopeShape));
    }
    DeriveVoiceFlags();
}

}   // namespace

void ReadSong(const AssetBytes& song)
{
    // The size is the file's, cut at the buffer; a missing file gives -1.
    Player.songSize = song.fileSize > SongBufferSize ? SongBufferSize : song.fileSize;
    // Bytes past the song's size are never read (SongByte gives 0); those
    // a short read left out, within it, read as zero.
    const size_t size = Player.songSize > 0 ? static_cast<size_t>(Player.songSize) : 0;
    const size_t read = song.bytes.size() < size ? song.bytes.size() : size;
    if (read > 0) std::memcpy(Player.SongBuffer, song.bytes.data(), read);
    std::memset(Player.SongBuffer + read, 0, size - read);
    Player.readPosition = 0;
    const uint32_t magic = static_cast<uint32_t>(SongByte(0)) << 24 | static_cast<uint32_t>(SongByte(1)) << 16 |
                           static_cast<uint32_t>(SongByte(2)) << 8 | SongByte(3);
    if (magic == DeltaMagic) {
        Player.compressed = 1;
        Player.readPosition = DeltaHeaderSize;
    }
}

void DecodeFrame()
{
    if (Player.compressed) {
        DecodeDeltaFrame();
    } else {
        DecodeRawFrame();
    }
}
