// quillmoor-turn-timing: what the intro's turn (RunTurn: a frame drawn and
// converted) costs on this machine. The same source is built natively and
// for Node, so that bench/turn_timing/web_turn_bench.sh can set the page's
// turn beside the native one measured in the same run.
//
//   quillmoor-turn-timing ASSETS [ROUNDS [TURNS]]
//     Runs TURNS turns (500 by default) ROUNDS times (7), after as many
//     again to warm up, and prints the milliseconds per turn of the median
//     round and of the best, and per pass of the picture.
//   quillmoor-turn-timing ASSETS --paced SECONDS
//     Runs the intro's own paced loop (app/paced_loop.h) for SECONDS, as the
//     desktop program runs it: a turn every 9.5 ms, presents converting the
//     frame to canvas bytes 60 times a second, sleeping in between; then
//     prints the loop's milliseconds per turn and per present after its
//     first second. Turns between sleeps cost more than turns back to back
//     (the caches go cold and the processor idles); this is the figure the
//     page's own (_QuillmoorTurnMilliseconds) is to be set beside. Native
//     only: under Node nothing sleeps.
//   quillmoor-turn-timing ASSETS --hashes N
//     Prints the hash of each of the first N frames, as
//     `quillmoor-capture frames N` does, to check a build's pictures.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/asset_folders.h"
#include "app/frame_cycle.h"
#include "app/front_end.h"
#include "app/paced_loop.h"
#include "app/picture_pixels.h"
#include "base/error_report.h"
#include "base/frame_hash.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"

namespace {

double NowMilliseconds()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A count from the command line: digits only, at least 1.
bool ParseCount(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= 1 && value <= 1000000;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Best(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

int PrintHashes(long count)
{
    char hash[17];
    for (long i = 0; i < count; ++i) {
        RunTurn();
        FormatHash(HashPixels(Screen.OutputImage, PictureWidth * PictureHeight), hash);
        std::printf("%ld %s\n", i, hash);
    }
    return 0;
}

// Milliseconds per turn, and per pass (the passes of RenderFrame and
// ConvertFrame run one by one, as RunTurn runs them, each timed alone).
struct RoundTimes {
    double turn, effect, logo, text, convert;
};

RoundTimes TimeRound(long turns)
{
    RoundTimes times{};
    const double start = NowMilliseconds();
    for (long i = 0; i < turns; ++i) RunTurn();
    times.turn = (NowMilliseconds() - start) / static_cast<double>(turns);
    for (long i = 0; i < turns; ++i) {
        const double t0 = NowMilliseconds();
        RenderEffect();
        const double t1 = NowMilliseconds();
        ApplyLogo();
        const double t2 = NowMilliseconds();
        DrawTextPage();
        Effect.FrameCounter += 1.0;
        const double t3 = NowMilliseconds();
        ConvertFrame();
        const double t4 = NowMilliseconds();
        times.effect += t1 - t0;
        times.logo += t2 - t1;
        times.text += t3 - t2;
        times.convert += t4 - t3;
    }
    for (double* pass : {&times.effect, &times.logo, &times.text, &times.convert}) *pass /= static_cast<double>(turns);
    return times;
}

#if !defined(__EMSCRIPTEN__)
// The paced loop's front end: no window, no events, no sound; a present is
// the conversion every front end makes of the frame for its display. The
// figures are taken from the loop's own sums, less what its first second ran.
struct PacedRun {
    alignas(16) uint32_t rgba[PictureWidth * PictureHeight];
    PacedLoop loop;
    PacedLoop settled;   // the loop as it stood after its first second
    bool isSettled = false;
    double settleAt = 0.0, end = 0.0;
};
PacedRun Paced;

bool PacedRunEnds()
{
    const double now = NowMilliseconds();
    if (!Paced.isSettled && now >= Paced.settleAt) {
        Paced.settled = Paced.loop;
        Paced.isSettled = true;
    }
    return now >= Paced.end;
}
#endif

int PrintPacedTimes(long seconds)
{
#if defined(__EMSCRIPTEN__)
    (void)seconds;
    ReportError("--paced needs a system sleep, which this build has not: the page's own figure is the web's");
    return ExitFailure;
#else
    const FrontEnd frontEnd{
        .now = NowMilliseconds,
        .takeEvents = PacedRunEnds,
        .present = [] { ConvertPictureToRgba(Paced.rgba); },
        .sleep = [](uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); },
    };
    Paced.loop.presentInterval = PresentIntervalFor(0);
    Paced.settleAt = NowMilliseconds() + 1000.0;
    Paced.end = Paced.settleAt + 1000.0 * static_cast<double>(seconds);
    RunPacedLoop(Paced.loop, frontEnd);
    const PacedLoop& loop = Paced.loop;
    const uint64_t turns = loop.turns - Paced.settled.turns, presents = loop.presents - Paced.settled.presents;
    if (turns == 0 || presents == 0) {
        ReportError("the paced loop ran no turn");
        return ExitFailure;
    }
    std::printf("paced turn %.4f ms, present %.4f ms (means of %" PRIu64 " turns and %" PRIu64 " presents in %ld s)\n",
                (loop.turnMilliseconds - Paced.settled.turnMilliseconds) / static_cast<double>(turns),
                (loop.presentMilliseconds - Paced.settled.presentMilliseconds) / static_cast<double>(presents), turns,
                presents, seconds);
    return 0;
#endif
}

int PrintTimes(long rounds, long turns)
{
    TimeRound(turns);   // warm-up: caches, and a just-in-time compiler's optimising tier
    std::vector<double> turn, effect, logo, text, convert;
    for (long r = 0; r < rounds; ++r) {
        const RoundTimes times = TimeRound(turns);
        turn.push_back(times.turn);
        effect.push_back(times.effect);
        logo.push_back(times.logo);
        text.push_back(times.text);
        convert.push_back(times.convert);
    }
    // The best round as well as the median: on a shared machine most rounds
    // lose some time to other programs, the best one least.
    std::printf("turn %.4f ms median, %.4f best (passes at best: effect %.4f, logo %.4f, text %.4f, convert %.4f)"
                " of %ld rounds of %ld turns\n",
                Median(turn), Best(turn), Best(effect), Best(logo), Best(text), Best(convert), rounds, turns);
    return 0;
}

}   // namespace

int main(int argc, char** argv)
{
    SetProgramName("quillmoor-turn-timing");
    const char* usage =
        "usage: quillmoor-turn-timing ASSETS [ROUNDS [TURNS]] | ASSETS --paced SECONDS | ASSETS --hashes N";
    if (argc < 2) {
        ReportError(usage);
        return ExitBadCommandLine;
    }
    long hashes = 0, seconds = 0, rounds = 7, turns = 500;
    const bool hashing = argc == 4 && std::strcmp(argv[2], "--hashes") == 0;
    const bool paced = argc == 4 && std::strcmp(argv[2], "--paced") == 0;
    if (hashing || paced
            ? !ParseCount(argv[3], hashing ? hashes : seconds)
            : argc > 4 || (argc > 2 && !ParseCount(argv[2], rounds)) || (argc > 3 && !ParseCount(argv[3], turns))) {
        ReportError(usage);
        return ExitBadCommandLine;
    }
    const std::vector<std::string> folders{argv[1]};
    const std::vector<const char*> missing = LocateAssets(folders);
    if (!missing.empty()) {
        ReportError(std::string("no ") + missing.front() + " in " + argv[1]);
        return ExitFailure;
    }
    InitPicture();
    const int status = hashing ? PrintHashes(hashes) : paced ? PrintPacedTimes(seconds) : PrintTimes(rounds, turns);
    if (std::fflush(stdout) != 0) {
        ReportError("cannot write to standard output");
        return ExitFailure;
    }
    return status;
}
