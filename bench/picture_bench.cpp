// The cost of one frame of the picture and of each of its passes, to be set
// against MemcpyFloor (the copy of one OutputImage's worth of bytes).
#include <benchmark/benchmark.h>

#include "app/frame_cycle.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"

#include <filesystem>

namespace {

// The intro's picture set-up over the committed assets, once for all
// benchmarks, and a first frame so that every pass starts from a drawn picture.
void SetUpPicture()
{
    static const bool done = [] {
        std::filesystem::current_path(QUILLMOOR_ASSETS_DIR);
        InitPicture();
        RenderFrame();
        return true;
    }();
    (void)done;
}

void Run(benchmark::State& state, void (*pass)())
{
    SetUpPicture();
    for (auto _ : state) {
        pass();
        benchmark::ClobberMemory();
    }
}

// The cost of the effect follows the view's angle, which repeats every
// 5120 frames (the sway every 2560 / 3, the turn every 1024). Each
// iteration draws the next of 64 frames spread evenly over that cycle, so
// that every run of a few thousand iterations averages the same views and
// two builds can be compared run against run.
constexpr int ViewCycle = 5120;
constexpr int SampledViews = 64;
void NextSampledView()
{
    static int view = 0;
    Effect.FrameCounter = static_cast<double>(view * (ViewCycle / SampledViews));
    view = (view + 1) % SampledViews;
}

void WholeFrame(benchmark::State& state)
{
    Run(state, [] {
        NextSampledView();
        RenderFrame();
        ConvertFrame();
    });
}
void EffectPass(benchmark::State& state)
{
    Run(state, [] {
        NextSampledView();
        RenderEffect();
    });
}
void LogoPass(benchmark::State& state)
{
    Run(state, ApplyLogo);
}
void TextPass(benchmark::State& state)
{
    Run(state, DrawTextPage);
}
void ConvertPass(benchmark::State& state)
{
    Run(state, [] { ConvertFrame(); });
}

// The one-time set-up before the first frame, and its largest step.
// The lens table is built outwards as the view reaches it, so each run
// starts from an unbuilt table.
void StartUp(benchmark::State& state)
{
    Run(state, [] {
        Effect.lensShellsBuilt = 0;
        InitPicture();
    });
}
void LensTableBuild(benchmark::State& state)
{
    Run(state, [] {
        Effect.lensShellsBuilt = 0;
        BuildLensTable();
    });
}
// The whole table, as far as any view could ever reach and beyond.
void LensTableWhole(benchmark::State& state)
{
    Run(state, [] {
        Effect.lensShellsBuilt = 0;
        ExtendLensTable(LensCentre);
    });
}

BENCHMARK(WholeFrame);
BENCHMARK(EffectPass);
BENCHMARK(LogoPass);
BENCHMARK(TextPass);
BENCHMARK(ConvertPass);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(LensTableBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(LensTableWhole)->Unit(benchmark::kMillisecond);

}   // namespace
