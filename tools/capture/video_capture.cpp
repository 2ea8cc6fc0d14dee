#include "video_capture.h"

#include "base/error_report.h"
#include "console.h"

#ifdef _WIN32

bool RunVideo(const CaptureRequest&)
{
    ReportError("the video command is available in the Linux build of this tool only");
    return false;
}

int VideoInterruptedBy()
{
    return 0;
}

#else

#include <atomic>
#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ffmpeg_process.h"
#include "app/headless/headless_intro.h"
#include "app/frame_cycle.h"
#include "music/player.h"
#include "picture/surfaces.h"
#include "app/headless/sound_capture.h"
#include "base/dc_blocker.h"
#include "base/wav_writer.h"

// The OutputImage goes to ffmpeg as it lies in memory: blue, green, red, 0.
static_assert(std::endian::native == std::endian::little, "frames are piped in the host's byte order");

namespace {

volatile std::sig_atomic_t CaughtSignal = 0;
std::atomic<bool> Stopping{false};

void CatchSignal(int signal)
{
    CaughtSignal = signal;
}

bool ShouldStop()
{
    return CaughtSignal != 0 || Stopping.load();
}

// SIGINT, SIGTERM and SIGHUP only set a flag here (interrupting a blocked
// write); SIGPIPE is ignored, so a failing ffmpeg shows as a failed write.
void CatchSignals()
{
    struct sigaction action = {};
    action.sa_handler = CatchSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// "dir/name.ext" -> "dir/.name.ext.part-PID.ext": beside the file, the same
// extension for ffmpeg to pick the container by.
std::string TemporaryName(const std::string& outputPath)
{
    const std::filesystem::path path(outputPath);
    std::string name = ".";   // appended piece by piece: GCC 12 warns wrongly about "." + string
    name += path.filename().string();
    name += ".part-";
    name += std::to_string(getpid());
    name += path.extension().string();
    return (path.parent_path() / name).string();
}

// The sound track, written by a thread of its own so that neither pipe
// waits for the other; the player's state is touched only here, as by the
// intro's sound thread.
bool FeedSound(int fd, uint64_t samples, bool dcBlock)
{
    SoundPlan plan;
    plan.paced = true;
    plan.withLeadIn = true;
    plan.sampleLimit = samples;
    DcBlocker filter;
    std::vector<int16_t> block;
    std::vector<uint8_t> bytes;
    return CaptureSound(plan, &FillCallback, [&](const int16_t* data, size_t count) {
        block.assign(data, data + count);
        if (dcBlock) filter.Process(block.data(), count);
        bytes.resize(2 * count);
        SamplesToLittleEndian(block.data(), count, bytes.data());
        return WriteAll(fd, bytes.data(), bytes.size(), ShouldStop);
    });
}

// Renders and sends the frames; false if ffmpeg stopped taking them or a
// signal arrived.
bool FeedFrames(const CaptureRequest& request, int fd)
{
    const uint32_t step = FramesPerSecond / request.videoFps;
    ProgressLine progress("video", "frames", request.videoFrames);
    bool fed = true;
    for (uint64_t i = 0; i < request.videoFrames && fed; i++) {
        for (uint32_t k = 0; k < (i == 0 ? 1 : step); k++) RunTurn();
        fed = WriteAll(fd, Screen.OutputImage, sizeof Screen.OutputImage, ShouldStop);
        progress.Update(i + 1);
    }
    progress.Finish();
    return fed;
}

}   // namespace

int VideoInterruptedBy()
{
    return CaughtSignal;
}

bool RunVideo(const CaptureRequest& request)
{
    CatchSignals();
    // A file that can't be written is reported by its own name, before any
    // work; ffmpeg then writes over the empty temporary file.
    const std::string temporary = TemporaryName(request.outputPath);
    if (std::FILE* probe = std::fopen(temporary.c_str(), "wb")) {
        std::fclose(probe);
    } else {
        ReportError("cannot write " + request.outputPath + ": " + std::strerror(errno));
        return false;
    }

    VideoEncoding encoding;
    encoding.framesPerSecond = request.videoFps;
    encoding.scale = request.videoScale;
    encoding.quality = request.videoQuality;
    encoding.fullChroma = request.videoFullChroma;
    encoding.outputPath = temporary;
    FfmpegProcess ffmpeg;
    std::string error;
    if (!StartFfmpeg(FfmpegArguments(encoding), ffmpeg, error)) {
        std::remove(temporary.c_str());
        if (error == "not found")
            ReportError("ffmpeg not found: the video command needs the ffmpeg program on the PATH (Debian: apt-get "
                        "install ffmpeg)");
        else
            ReportError("cannot start ffmpeg: " + error);
        return false;
    }

    StartHeadlessIntro();
    // The sound thread leaves the signals to this one.
    sigset_t blocked, previous;
    sigfillset(&blocked);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    bool soundFed = false;
    std::thread soundThread([&] {
        soundFed = FeedSound(ffmpeg.sound, request.sampleCount, request.dcBlock);
        ClosePipe(ffmpeg.sound);
    });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    const bool framesFed = FeedFrames(request, ffmpeg.frames);
    if (!framesFed) {
        // Stop both writers at once: ffmpeg's end makes every write fail.
        Stopping = true;
        KillFfmpeg(ffmpeg);
    }
    ClosePipe(ffmpeg.frames);
    soundThread.join();
    const bool encoded = framesFed && soundFed && WaitForFfmpeg(ffmpeg);
    if (encoded) {
        std::error_code renameError;
        std::filesystem::rename(temporary, request.outputPath, renameError);
        if (!renameError) return true;
        ReportError("cannot write " + request.outputPath + ": " + renameError.message());
    } else if (CaughtSignal == 0) {
        ReportError("ffmpeg could not make " + request.outputPath + (framesFed ? "" : " (it stopped taking frames)"));
    }
    std::remove(temporary.c_str());
    return false;
}

#endif
