// Any song file: load it, then play several seconds in calls of varying sizes.
#include <cstdint>
#include <cstring>

#include "app/asset_files.h"
#include "fuzz_files.h"
#include "music/player.h"
#include "music/player_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterFuzzDirectory();
    WriteFuzzFile(SongFileName, data, size);
    RestorePlayerStartState();
    LoadSongFromFile(SongFileName);

    // Call sizes come from the file itself, so the fuzzer explores the
    // remainder logic too: odd sizes, tiny calls, whole rings.
    static int16_t region[4096];
    uint32_t seed = 2166136261u;
    for (size_t i = 0; i < size && i < 64; ++i) seed = (seed ^ data[i]) * 16777619u;
    uint32_t produced = 0;
    while (produced < 3 * 88200) {   // three seconds of sound
        seed = seed * 1664525u + 1013904223u;
        const uint32_t bytes = 1 + (seed >> 8) % sizeof region;
        FillCallback(region, bytes);
        produced += bytes;
    }
    return 0;
}
