#include "song_listen.h"

#include <cstdio>

#include "music/player.h"
#include "app/headless/sound_capture.h"
#include "base/dc_blocker.h"
#include "base/wav_writer.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

bool WriteSongWav(const std::vector<uint8_t>& song, size_t frames, const std::string& path, std::string& error)
{
    constexpr uint64_t SamplesPerFrame = 44100 / 50;
    const uint64_t total = frames * SamplesPerFrame;
    if (total > MaxWavSamples) {
        error = "the song is too long for a WAV file";
        return false;
    }
    const bool toStandardOutput = path == "-";
#ifdef _WIN32
    if (toStandardOutput) _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::FILE* out = toStandardOutput ? stdout : std::fopen(path.c_str(), "wb");
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    LoadSong(AssetFromBytes(song));
    const auto header = WavHeader(static_cast<uint32_t>(total));
    bool written = std::fwrite(header.data(), 1, header.size(), out) == header.size();
    SoundPlan plan;
    plan.paced = true;
    plan.sampleLimit = total;
    DcBlocker filter;
    std::vector<int16_t> block;
    std::vector<uint8_t> bytes;
    written = written && CaptureSound(plan, &FillCallback, [&](const int16_t* samples, size_t count) {
                  block.assign(samples, samples + count);
                  filter.Process(block.data(), count);
                  bytes.resize(2 * count);
                  SamplesToLittleEndian(block.data(), count, bytes.data());
                  return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
              });
    written = (std::fflush(out) == 0) && written;
    if (!toStandardOutput) written = (std::fclose(out) == 0) && written;
    if (!written) error = "cannot write " + path;
    return written;
}
