// What the web page should show and play, computed by the portable core built
// natively, for the browser tests to compare the WebAssembly build against.
// Run in a folder holding the assets.
//
//   web_reference frame N OUT     the picture after N turns (the start-up
//                                 order of the intro without its window) as
//                                 640 x 400 R, G, B bytes
//   web_reference sound BYTES OUT the first BYTES of the music, from the
//                                 first FillCallback call that writes (the
//                                 player leaves its first calls unwritten,
//                                 and how much of the ring they cover
//                                 depends on the timing of the refills)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/asset_files.h"
#include "app/intro.h"
#include "music/player.h"
#include "picture/surfaces.h"
#include "sound/sound_server.h"

namespace {

int WriteFile(const char* path, const void* bytes, size_t size)
{
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return 2;
    const bool written = std::fwrite(bytes, 1, size, out) == size;
    return std::fclose(out) == 0 && written ? 0 : 2;
}

int WriteFrame(long turns, const char* path)
{
    LoadSongFromFile(SongFileName);   // as OnCreate does before the picture is set up
    InitPicture();
    for (long turn = 0; turn < turns; ++turn) FrameStep();
    static unsigned char rgb[PictureWidth * PictureHeight * 3];
    unsigned char* p = rgb;
    for (uint32_t pixel : Screen.OutputImage) {
        *p++ = static_cast<unsigned char>(pixel >> 16);
        *p++ = static_cast<unsigned char>(pixel >> 8);
        *p++ = static_cast<unsigned char>(pixel);
    }
    return WriteFile(path, rgb, sizeof rgb);
}

int WriteSound(long bytes, const char* path)
{
    constexpr long Limit = 1 << 24;
    constexpr int16_t Untouched = 0x7F7F;
    constexpr uint32_t Probe = 64;   // two blocks
    if (bytes < 0 || bytes > Limit || bytes % Probe != 0) return 2;
    static int16_t sound[Limit / 2];
    LoadSongFromFile(SongFileName);

    // Small requests until one writes: a request the player skips leaves
    // the marker in all of its samples.
    for (int calls = 0;; ++calls) {
        if (calls == 1000) return 3;
        std::fill_n(sound, Probe / 2, Untouched);
        FillCallback(sound, Probe);
        if (!std::all_of(sound, sound + Probe / 2, [](int16_t s) { return s == Untouched; })) break;
    }
    for (long at = Probe; at < bytes; at += RingBytes) {
        const long size = std::min(bytes - at, static_cast<long>(RingBytes));
        FillCallback(sound + at / 2, static_cast<uint32_t>(size));
    }
    return WriteFile(path, sound, static_cast<size_t>(bytes));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "frame") == 0) return WriteFrame(std::atol(argv[2]), argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "sound") == 0) return WriteSound(std::atol(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: web_reference frame N OUT | sound BYTES OUT\n");
    return 2;
}
