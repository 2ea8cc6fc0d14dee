// quillmoor-capture: the intro's picture and sound without a window or a
// sound device, as frame hashes, a PNG or plain RGB picture, a WAV or raw
// file, a video, or the text page (built in or from --text).
// `quillmoor-capture --help` shows the command line.
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/headless/headless_intro.h"
#include "app/headless/sound_capture.h"
#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "app/frame_cycle.h"
#include "app/text_choice.h"
#include "base/dc_blocker.h"
#include "base/error_report.h"
#include "base/frame_hash.h"
#include "base/wav_writer.h"
#include "command_line.h"
#include "command_line_refusal.h"
#include "console.h"
#include "music/player.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "png_writer.h"
#include "tool_files.h"
#include "video_capture.h"

namespace {

bool FinishStandardOutput()
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    ReportError("cannot write to standard output");
    return false;
}

int RunFrames(const CaptureRequest& request)
{
    StartHeadlessIntro();
    ProgressLine progress("frames", "frames", request.frameCount);
    char hash[17];
    for (uint64_t i = 0; i < request.frameCount; i++) {
        RunTurn();
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
    tooltext::OutputFile out;
    if (!out.Open(request.outputPath)) return ExitFailure;
    StartHeadlessIntro();
    ProgressLine progress("frames", "frames", request.frameIndex + 1);
    for (uint64_t i = 0; i <= request.frameIndex; i++) {
        RunTurn();
        progress.Update(i + 1);
    }
    progress.Finish();
    const std::vector<uint8_t> bytes = request.command == CaptureCommand::Png
                                           ? EncodePng(Screen.OutputImage, PictureWidth, PictureHeight)
                                           : PixelsToRgb(Screen.OutputImage, PictureWidth * PictureHeight);
    return out.Write(bytes.data(), bytes.size()) && out.Close() ? 0 : ExitFailure;
}

// Makes the plan's calls to the music player and writes what they hand on
// to `out` as 16-bit little-endian samples, high-passed and faded in when
// `dcBlock`, with a progress line counting up to `total` samples. False if
// a write failed.
bool WriteSoundSamples(const SoundPlan& plan, uint64_t total, bool dcBlock, tooltext::OutputFile& out)
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
        return tooltext::RefuseCommandLine(std::to_string(total) + " samples are more than a WAV file holds (" +
                                           std::to_string(MaxWavSamples) + "); use --raw");
    }
    if (!StartHeadlessSound(request.songPath)) return ExitFailure;
    tooltext::OutputFile out;
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

// Names each asset the command needs and the assets folder lacks, as the
// desktop program does: the tool goes on without it, as the intro would,
// but what it draws or plays is then not what the intro's files make.
void WarnOfMissingAssets(const CaptureRequest& request)
{
    const bool draws = request.command != CaptureCommand::Sound;
    const bool plays = (request.command == CaptureCommand::Sound || request.command == CaptureCommand::Video) &&
                       request.songPath.empty();
    const std::string where = request.assetsDir.empty() ? "the current folder" : request.assetsDir;
    for (const char* name : LocateAssets(std::vector<std::string>{"."})) {
        const bool song = std::string_view(name) == SongFileName;
        if (song ? plays : draws) WarnAssetMissing(name, where);
    }
}

}   // namespace

int main(int argc, char** argv)
{
    SetProgramName("quillmoor-capture");
    CaptureRequest request;
    std::string error;
    if (!ParseCommandLine(argc, argv, request, error)) return tooltext::RefuseCommandLine(error);
    if (request.command == CaptureCommand::Help) {
        std::fputs(request.helpText.c_str(), stdout);
        return FinishStandardOutput() ? 0 : ExitFailure;
    }
    // Before --assets moves the current folder: the page's path is the user's.
    if (!TakeNamedTextPage(request.textPath)) return ExitFailure;
    if (!EnterAssetsFolder(request)) return ExitFailure;
    if (request.command != CaptureCommand::TextPage) WarnOfMissingAssets(request);
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
