// What the web page should show and play, computed by the portable core built
// natively, for the browser tests to compare the WebAssembly build against.
// Run in a folder holding the assets.
//
//   web_reference frame N OUT     the picture after N turns (the start-up
//                                 order of the intro without its window) as
//                                 640 x 400 R, G, B bytes
//   web_reference sound BYTES OUT the first BYTES (at most 8192) of the
//                                 sound: what the first refill of the ring
//                                 asks of the FillCallback, in one piece
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    LoadSong();   // as OnCreate does before the picture is set up
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
    if (bytes < 0 || bytes > static_cast<long>(RingBytes)) return 2;
    LoadSong();
    static int16_t ring[RingBytes / 2];
    FillCallback(ring, RingBytes);
    return WriteFile(path, ring, static_cast<size_t>(bytes));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "frame") == 0) return WriteFrame(std::atol(argv[2]), argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "sound") == 0) return WriteSound(std::atol(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: web_reference frame N OUT | sound BYTES OUT\n");
    return 2;
}
