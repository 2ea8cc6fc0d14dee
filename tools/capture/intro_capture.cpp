#include "intro_capture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/asset_files.h"
#include "app/intro.h"
#include "console.h"
#include "music/player.h"
#include "output_file.h"
#include "picture/surfaces.h"
#include "sound_capture.h"
#include "sound_filter.h"
#include "wav_writer.h"

namespace {

// A song named on the command line must be there; the player itself
// tolerates a missing file (it plays silence), which would hide a typo.
bool LoadNamedSong(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        ReportError("cannot read " + path + ": " + std::strerror(errno));
        return false;
    }
    std::fclose(file);
    LoadSongFromFile(path.c_str());
    return true;
}

}   // namespace

bool StartSound(const std::string& songPath)
{
    // The intro loads the song while its window is created, then opens the
    // sound; here the capture calls the FillCallback instead.
    if (!songPath.empty()) return LoadNamedSong(songPath);
    LoadSongFromFile(SongFileName);
    return true;
}

void StartIntro()
{
    StartSound();
    InitPicture();
}

void RenderNextFrame()
{
    RenderFrame();
    ConvertFrame();
}

bool WriteSoundSamples(const SoundPlan& plan, uint64_t total, bool dcBlock, OutputFile& out)
{
    ProgressLine progress("sound", "samples", total);
    std::vector<uint8_t> bytes;
    std::vector<int16_t> filtered;
    DcBlocker filter;
    const bool written = CaptureSound(
        plan, &FillCallback,
        [&](const int16_t* samples, size_t count) {
            if (dcBlock) {
                filtered.assign(samples, samples + count);
                filter.Process(filtered.data(), count);
                samples = filtered.data();
            }
            bytes.resize(2 * count);
            SamplesToLittleEndian(samples, count, bytes.data());
            return out.Write(bytes.data(), bytes.size());
        },
        [&](uint64_t done) { progress.Update(done); });
    progress.Finish();
    return written;
}
