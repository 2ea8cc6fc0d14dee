// The memory floor the frame benchmarks are measured against: one plain copy
// of an OutputImage-sized block between two static buffers.
#include <benchmark/benchmark.h>

#include <cstring>

#include "picture/surfaces.h"

namespace {

alignas(64) unsigned char From[sizeof Screen.OutputImage];
alignas(64) unsigned char To[sizeof Screen.OutputImage];

void MemcpyFloor(benchmark::State& state)
{
    for (auto _ : state) {
        std::memcpy(To, From, sizeof To);
        benchmark::DoNotOptimize(To);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sizeof To));
}
BENCHMARK(MemcpyFloor);

}   // namespace
