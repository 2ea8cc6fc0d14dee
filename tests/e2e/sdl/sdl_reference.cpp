// What the Linux intro should show and play, computed by the portable core
// without a window, for the end-to-end tests to compare the program against.
//
//   sdl_reference sound BYTES OUT    the FillCallback's stream for the song in
//                                    the current folder, asked for as the
//                                    sound server does (a whole ring, then
//                                    20 ms at a time)
//   sdl_reference frame RGB LIMIT    renders frames 0..LIMIT (0: the picture
//                                    before the first frame) and prints the
//                                    number of the first one whose picture
//                                    equals the 640 x 400 RGB file; exit 1 if
//                                    none does
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/asset_files.h"
#include "app/intro.h"
#include "music/player.h"
#include "picture/surfaces.h"

namespace {

int WriteSound(long bytes, const char* path)
{
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return 2;
    LoadSongFromFile(SongFileName);
    static int16_t block[8192 / 2];
    uint32_t request = 8192;
    while (bytes > 0) {
        FillCallback(block, request);
        const long take = bytes < static_cast<long>(request) ? bytes : request;
        std::fwrite(block, 1, static_cast<size_t>(take), out);
        bytes -= take;
        request = 1764;
    }
    return std::fclose(out) == 0 ? 0 : 2;
}

bool SameAsPicture(const std::vector<unsigned char>& rgb)
{
    const unsigned char* p = rgb.data();
    for (uint32_t pixel : Screen.OutputImage) {
        if (p[0] != ((pixel >> 16) & 0xFF) || p[1] != ((pixel >> 8) & 0xFF) || p[2] != (pixel & 0xFF))
            return false;
        p += 3;
    }
    return true;
}

int FindFrame(const char* path, long limit)
{
    std::vector<unsigned char> rgb(PictureWidth * PictureHeight * 3);
    std::FILE* in = std::fopen(path, "rb");
    if (!in) return 2;
    const size_t got = std::fread(rgb.data(), 1, rgb.size(), in);
    std::fclose(in);
    if (got != rgb.size()) return 2;
    InitPicture();
    for (long frame = 0; frame <= limit; ++frame) {
        if (frame > 0) FrameStep();
        if (SameAsPicture(rgb)) {
            std::printf("%ld\n", frame);
            return 0;
        }
    }
    std::printf("none\n");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "sound") == 0)
        return WriteSound(std::atol(argv[2]), argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "frame") == 0)
        return FindFrame(argv[2], std::atol(argv[3]));
    std::fprintf(stderr, "usage: sdl_reference sound BYTES OUT | frame RGB LIMIT\n");
    return 2;
}
