#include "song_listen.h"

#include "music/player.h"
#include "app/headless/sound_capture.h"
#include "base/dc_blocker.h"
#include "base/error_report.h"
#include "base/stream_format.h"
#include "base/wav_writer.h"
#include "tool_files.h"

bool WriteSongWav(const std::vector<uint8_t>& song, size_t frames, const std::string& path)
{
    constexpr uint64_t SamplesPerFrame = StreamSampleRate / ReplayRate;
    const uint64_t total = frames * SamplesPerFrame;
    if (total > MaxWavSamples) {
        ReportError("the song is too long for a WAV file");
        return false;
    }
    tooltext::OutputFile out;
    if (!out.Open(path)) return false;
    LoadSong(AssetFromBytes(song));
    const auto header = WavHeader(static_cast<uint32_t>(total));
    bool written = out.Write(header.data(), header.size());
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
                  return out.Write(bytes.data(), bytes.size());
              });
    return out.Close() && written;
}
