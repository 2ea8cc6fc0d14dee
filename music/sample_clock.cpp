#include "music/sample_clock.h"

#include <algorithm>

#include "music/player_state.h"
#include "music/song_decoder.h"

namespace {

// A tick decodes a frame when the accumulator, advanced, crosses 2^31.
bool TickDecodes(uint32_t accumulator)
{
    return ((accumulator + TickStep) & 0x80000000u) != 0;
}

}   // namespace

void FrameTick()
{
    const bool decodes = TickDecodes(Player.tickAccumulator);
    Player.tickAccumulator += TickStep;
    if (decodes) {
        Player.tickAccumulator &= 0x7FFFFFFFu;
        DecodeFrame();
    }
}

void BeginBlock()
{
    FrameTick();
    Player.blockRemainder = BlockSamples;
}

int32_t TakeQuietRun(int32_t left)
{
    int32_t run = std::min(left, Player.blockRemainder);
    Player.blockRemainder -= run;
    while (run < left && Player.blockRemainder == 0 && run + BlockSamples <= MaxRunSamples &&
           !TickDecodes(Player.tickAccumulator)) {
        BeginBlock();
        const int32_t more = std::min(left - run, BlockSamples);
        run += more;
        Player.blockRemainder -= more;
    }
    return run;
}
