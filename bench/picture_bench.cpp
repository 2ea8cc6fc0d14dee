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
void EffectPass(benchmark::State& state) { Run(state, RenderEffect); }
void LogoPass(benchmark::State& state) { Run(state, ApplyLogo); }
void TextPass(benchmark::State& state) { Run(state, DrawTextPage); }
void ConvertPass(benchmark::State& state)
{
    Run(state, [] { ConvertFrame(); });
}

BENCHMARK(WholeFrame);
BENCHMARK(EffectPass);
BENCHMARK(LogoPass);
BENCHMARK(TextPass);
BENCHMARK(ConvertPass);

} // namespace
