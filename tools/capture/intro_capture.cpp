#include "intro_capture.h"

#include <vector>

#include "app/asset_files.h"
#include "app/intro.h"
#include "console.h"
#include "music/player.h"
#include "output_file.h"
#include "picture/surfaces.h"
#include "sound_capture.h"
#include "wav_writer.h"

void StartSound()
{
    // The intro loads the song while its window is created, then opens the
    // sound; here the capture calls the FillCallback instead.
    LoadSongFromFile(SongFileName);
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

bool WriteSoundSamples(const SoundPlan& plan, uint64_t total, OutputFile& out)
{
    ProgressLine progress("sound", total);
    std::vector<uint8_t> bytes;
    const bool written = CaptureSound(
        plan, &FillCallback,
        [&](const int16_t* samples, size_t count) {
            bytes.resize(2 * count);
            SamplesToLittleEndian(samples, count, bytes.data());
            return out.Write(bytes.data(), bytes.size());
        },
        [&](uint64_t done) { progress.Update(done); });
    progress.Finish();
    return written;
}
