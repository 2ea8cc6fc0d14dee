#include "music/player.h"

#include "music/generators.h"
#include "music/mixer.h"
#include "music/player_state.h"
#include "music/sample_clock.h"
#include "music/song_decoder.h"

void LoadSong(const AssetBytes& song)
{
    ReadSong(song);
    ResetPlayer();
    BuildNoiseTable();
    PrepareLevelTables();
}

int FillCallback(int16_t* samples, uint32_t bytes)
{
    if (--Player.startCountdown > 0) return 0;
    Player.startCountdown = -1;

    // Every block of 32 samples follows a tick of the clock; the stream is
    // generated and mixed in runs between the ticks that decode a frame.
    int32_t left = static_cast<int32_t>(bytes >> 1);
    while (left > 0) {
        if (Player.blockRemainder == 0) BeginBlock();
        const int32_t run = TakeQuietRun(left);
        GenerateBlock(0, run);
        MixBlock(samples, run);
        samples += run;
        left -= run;
    }
    // A call that ends where a block ends begins the next block: its tick
    // comes now, not at the start of the next call.
    if (Player.blockRemainder == 0) BeginBlock();
    return 0;
}
