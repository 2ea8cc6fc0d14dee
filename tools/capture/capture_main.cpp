// quillmoor-capture: the intro's picture and sound without a window or a
// sound device, as frame hashes, a PNG or plain RGB picture, a WAV or raw
// file, a video, or the text page. See CaptureUsage for the command line.
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "command_line.h"
#include "console.h"
#include "base/frame_hash.h"
#include "intro_capture.h"
#include "output_file.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "png_writer.h"
#include "sound_capture.h"
#include "video_capture.h"
#include "wav_writer.h"

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

bool FinishStandardOutput()
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    ReportError("cannot write to standard output");
    return false;
}

int RunFrames(const CaptureRequest& request)
{
    StartIntro();
    ProgressLine progress("frames", "frames", request.frameCount);
    char hash[17];
    for (uint64_t i = 0; i < request.frameCount; i++) {
        RenderNextFrame();
        progress.Update(i + 1);
        if (i < request.firstPrinted) continue;
        FormatHash(HashPixels(Screen.OutputImage, PictureWidth * PictureHeight), hash);
        std::printf("%" PRIu64 " %s\n", i, hash);
    }
    progress.Finish();
    return FinishStandardOutput() ? 0 : ExitFailure;
}

// png and rgb: one frame's picture as a file.
int RunPicture(const CaptureRequest& request)
{
    OutputFile out;
    if (!out.Open(request.outputPath)) return ExitFailure;
    StartIntro();
    ProgressLine progress("frames", "frames", request.frameIndex + 1);
    for (uint64_t i = 0; i <= request.frameIndex; i++) {
        RenderNextFrame();
        progress.Update(i + 1);
    }
    progress.Finish();
    const std::vector<uint8_t> bytes = request.command == CaptureCommand::Png
                                           ? EncodePng(Screen.OutputImage, PictureWidth, PictureHeight)
                                           : PixelsToRgb(Screen.OutputImage, PictureWidth * PictureHeight);
    return out.Write(bytes.data(), bytes.size()) && out.Close() ? 0 : ExitFailure;
}

int RunSound(const CaptureRequest& request)
{
    SoundPlan plan;
    plan.calls = request.calls;
    plan.paced = request.pacedCalls;
    plan.withLeadIn = request.leadIn;
    if (plan.paced) plan.sampleLimit = request.sampleCount;
    const uint64_t total = PlannedSamples(plan);
    const bool wav = request.soundFile == SoundFileKind::Wav;
    if (wav && total > MaxWavSamples) {
        ReportError(std::to_string(total) + " samples are more than a WAV file holds (" +
                    std::to_string(MaxWavSamples) + "); use --raw");
        return ExitUsage;
    }
    if (!StartSound(request.songPath)) return ExitFailure;
    OutputFile out;
    if (!out.Open(request.outputPath)) return ExitFailure;
    if (wav) {
        const auto header = WavHeader(static_cast<uint32_t>(total));
        if (!out.Write(header.data(), header.size())) return ExitFailure;
    }
    return WriteSoundSamples(plan, total, request.dcBlock, out) && out.Close() ? 0 : ExitFailure;
}

int RunTextPage()
{
    for (int row = 0; row < TextRows; row++) {
        std::fwrite(TextPage + row * TextColumns, 1, TextColumns, stdout);
        std::fputc('\n', stdout);
    }
    return FinishStandardOutput() ? 0 : ExitFailure;
}

// Output paths and --song are taken relative to the folder the tool started
// in, also when --assets moves it elsewhere.
bool EnterAssetsFolder(CaptureRequest& request)
{
    if (request.assetsDir.empty()) return true;
    std::error_code error;
    for (std::string* path : {&request.outputPath, &request.songPath}) {
        if (path->empty() || *path == "-") continue;
        const std::filesystem::path absolute = std::filesystem::absolute(*path, error);
        if (!error) *path = absolute.string();
    }
    std::filesystem::current_path(request.assetsDir, error);
    if (!error) return true;
    ReportError("cannot use the assets folder " + request.assetsDir + ": " + error.message());
    return false;
}

}   // namespace

int main(int argc, char** argv)
{
    CaptureRequest request;
    std::string error;
    if (!ParseCommandLine(argc, argv, request, error)) {
        ReportError(error);
        std::fputs(CaptureUsage, stderr);
        return ExitUsage;
    }
    if (request.command == CaptureCommand::Help) {
        std::fputs(request.helpText.c_str(), stdout);
        return FinishStandardOutput() ? 0 : ExitFailure;
    }
    if (!EnterAssetsFolder(request)) return ExitFailure;
    switch (request.command) {
    case CaptureCommand::Frames:
        return RunFrames(request);
    case CaptureCommand::Png:
    case CaptureCommand::Rgb:
        return RunPicture(request);
    case CaptureCommand::Sound:
        return RunSound(request);
    case CaptureCommand::Video:
        if (RunVideo(request)) return 0;
        if (const int signal = VideoInterruptedBy()) {
            // End as that signal ends a program, for the shell to see.
            std::signal(signal, SIG_DFL);
            std::raise(signal);
        }
        return ExitFailure;
    case CaptureCommand::TextPage:
        return RunTextPage();
    case CaptureCommand::Help:
        break;
    }
    return 0;
}
