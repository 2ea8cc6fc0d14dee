#include "video_capture.h"

#include <bit>
#include <csignal>
#include <cstdio>
#include <vector>

#include "console.h"
#include "ffmpeg_pipe.h"
#include "intro_capture.h"
#include "output_file.h"
#include "picture/surfaces.h"
#include "sound_capture.h"
#include "wav_writer.h"

// The OutputImage goes to ffmpeg as it lies in memory: blue, green, red, 0.
static_assert(std::endian::native == std::endian::little, "frames are piped in the host's byte order");

namespace {

// The sound track, written beside the video and removed when done.
struct SoundTrack {
    std::string path;
    ~SoundTrack()
    {
        if (!path.empty()) std::remove(path.c_str());
    }
};

bool WriteSoundTrack(const std::string& path, uint64_t samples)
{
    OutputFile out;
    if (!out.Open(path)) return false;
    const auto header = WavHeader(static_cast<uint32_t>(samples));
    if (!out.Write(header.data(), header.size())) return false;
    SoundPlan plan;
    plan.paced = true;
    plan.withLeadIn = true;
    plan.sampleLimit = samples;
    return WriteSoundSamples(plan, samples, out) && out.Close();
}

}   // namespace

bool RunVideo(const CaptureRequest& request)
{
    if (!FfmpegPresent()) {
#ifdef _WIN32
        ReportError("ffmpeg not found: the video command needs ffmpeg.exe on the PATH");
#else
        ReportError("ffmpeg not found: the video command needs the ffmpeg program on the PATH (Debian: apt-get install ffmpeg)");
#endif
        return false;
    }
    if (request.sampleCount > MaxWavSamples) {
        ReportError("the video is too long for its sound track");
        return false;
    }
#ifdef SIGPIPE
    // A failing ffmpeg shows as a failed write, not as the end of this program.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // A file that can't be written is reported by its own name, before any
    // work; ffmpeg writes over the empty file left here.
    OutputFile probe;
    if (!probe.Open(request.outputPath) || !probe.Close()) return false;
    SoundTrack track{request.outputPath + ".sound.wav"};
    StartIntro();
    if (!WriteSoundTrack(track.path, request.sampleCount)) return false;

    std::FILE* pipe = OpenCommandPipe(VideoEncoderCommand(FramesPerSecond, track.path, request.outputPath));
    if (!pipe) {
        ReportError("cannot start ffmpeg");
        return false;
    }
    ProgressLine progress("video", request.videoFrames);
    bool fed = true;
    for (uint64_t i = 0; i < request.videoFrames && fed; i++) {
        RenderNextFrame();
        fed = std::fwrite(Screen.OutputImage, sizeof Screen.OutputImage, 1, pipe) == 1;
        progress.Update(i + 1);
    }
    progress.Finish();
    const bool encoded = CloseCommandPipe(pipe);
    if (!fed || !encoded) {
        ReportError("ffmpeg could not make " + request.outputPath + (fed ? "" : " (it stopped taking frames)"));
        std::remove(request.outputPath.c_str());
        return false;
    }
    return true;
}
