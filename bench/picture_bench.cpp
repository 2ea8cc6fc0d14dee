// The cost of one frame of the picture and of each of its passes, to be set
// against MemcpyFloor (the copy of one OutputImage's worth of bytes).
#include <benchmark/benchmark.h>

#include "app/intro.h"
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

void WholeFrame(benchmark::State& state)
{
    Run(state, [] {
        RenderFrame();
        ConvertFrame();
    });
}
// Frame after frame, as in the intro: the view turns, and the cost of the
// table walk follows the angle.
void EffectPass(benchmark::State& state)
{
    Run(state, [] {
        RenderEffect();
        Effect.FrameCounter += 1.0;
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
void StartUp(benchmark::State& state)
{
    Run(state, [] { InitPicture(); });
}
void LensTableBuild(benchmark::State& state)
{
    Run(state, BuildLensTable);
}

BENCHMARK(WholeFrame);
BENCHMARK(EffectPass);
BENCHMARK(LogoPass);
BENCHMARK(TextPass);
BENCHMARK(ConvertPass);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(LensTableBuild)->Unit(benchmark::kMillisecond);

}   // namespace
