#include "fuzz_entries.h"

#include "base/asset_bytes.h"
#include "music/player.h"
#include "music/player_state.h"
#include "music/song_decoder.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "sound/sound_server.h"

namespace {

// Call sizes drawn from the input itself, so the fuzzer explores the
// mixer's remainder logic too: odd sizes, tiny calls, whole rings.
struct CallSizes {
    uint32_t state;
    uint32_t Next(uint32_t limit)   // 1..limit
    {
        state = state * 1664525u + 1013904223u;
        return 1 + (state >> 8) % limit;
    }
};

int16_t Region[FirstRefillBytes / 2];

// At least `samples` samples, in calls of 1..`callBytes` bytes.
void Play(CallSizes& sizes, uint32_t samples, uint32_t callBytes)
{
    for (uint32_t bytes = 0; bytes < 2 * samples;) {
        const uint32_t call = sizes.Next(callBytes);
        FillCallback(Region, call);
        bytes += call;
    }
}

}   // namespace

bool FuzzSong(const uint8_t* data, size_t size)
{
    RestorePlayerStartState();
    LoadSong(AssetFromBytes({data, size}));
    CallSizes sizes{2166136261u};
    for (size_t i = 0; i < size && i < 64; ++i) sizes.state = (sizes.state ^ data[i]) * 16777619u;

    // The nine silent calls, then a tenth of a second: the first five
    // frames decoded on the sample clock.
    for (int call = 1; call < StartCountdown; ++call) FillCallback(Region, sizes.Next(FirstRefillBytes));
    Play(sizes, 4410, FirstRefillBytes);

    // Sound costs far more than decoding, so the rest of the song, up to and
    // across its loop, is decoded frame by frame without the clock, with a
    // few samples sounded at each eighth of the song so that the generators
    // meet the registers of late frames too. The read position falls back
    // when the song loops; a frame takes at least two bytes, which bounds
    // the walk.
    int32_t nextStretch = Player.songSize / 8;
    for (int32_t frame = 0; frame < SongBufferSize / 2 + 2; ++frame) {
        const int32_t before = Player.readPosition;
        DecodeFrame();
        if (Player.readPosition <= before) break;
        if (Player.readPosition >= nextStretch) {
            Play(sizes, sizes.Next(256), 512);
            nextStretch += Player.songSize / 8;
        }
    }
    // Three frames of the second pass on the clock.
    Play(sizes, 3 * 882, 2048);
    return true;
}

bool FuzzFont(const uint8_t* data, size_t size)
{
    if (size < 2) return true;
    size_t tableSize = (static_cast<size_t>(data[0]) << 8 | data[1]) * 4u;
    data += 2;
    size -= 2;
    if (tableSize > size) tableSize = size;

    ResetText();
    BuildRecolourTable();
    LoadFont(AssetFromBytes({data, tableSize}), AssetFromBytes({data + tableSize, size - tableSize}));
    for (int frame = 0; frame < 4; ++frame) DrawTextPage();
    // Every glyph code, at the edges of where a glyph may stand.
    for (int32_t code = -2; code < 514; code += 3) {
        DrawGlyph(-16, -16, code);
        DrawGlyph(640, 400, code);
    }
    return true;
}

bool FuzzLogo(const uint8_t* data, size_t size)
{
    ResetLogo();
    InitLogo(AssetFromBytes({data, size}));
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) *WorkPixel(x, y) = static_cast<uint8_t>(x + y);
    ApplyLogo();
    // The overlay only ever raises by 16 with a fold at the top, or keeps.
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const int before = (x + y) & 255;
            const int after = *WorkPixel(x, y);
            const int raised = before + 16 < 256 ? before + 16 : 495 - before;
            if (after != before && after != raised) return false;
        }
    }
    return true;
}
