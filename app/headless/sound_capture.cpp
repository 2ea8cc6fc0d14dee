#include "app/headless/sound_capture.h"

#include <algorithm>

namespace {

// Walks the plan's calls in order.
struct CallCursor {
    const SoundPlan& plan;
    size_t run = 0;
    uint64_t doneInRun = 0;
    uint64_t index = 0;   // calls made so far

    bool Next(uint32_t& bytes)
    {
        if (plan.paced) {
            bytes = index == 0 ? FirstPacedCallBytes : PacedCallBytes;
        } else {
            while (run < plan.calls.size() && doneInRun == plan.calls[run].count) {
                run++;
                doneInRun = 0;
            }
            if (run == plan.calls.size()) return false;
            bytes = plan.calls[run].bytes;
            doneInRun++;
        }
        index++;
        return true;
    }
};

uint32_t LargestCall(const SoundPlan& plan)
{
    uint32_t largest = plan.paced ? std::max(FirstPacedCallBytes, PacedCallBytes) : 0;
    for (const CallRun& run : plan.calls) largest = std::max(largest, run.bytes);
    return largest;
}

}   // namespace

uint64_t PlannedSamples(const SoundPlan& plan)
{
    if (plan.paced) return plan.sampleLimit;
    uint64_t total = 0;
    uint64_t first = 0;   // index of the run's first call
    for (const CallRun& run : plan.calls) {
        const uint64_t silent = first >= SilentCallCount ? 0 : std::min(run.count, SilentCallCount - first);
        const uint64_t delivering = plan.withLeadIn ? run.count : run.count - silent;
        total += delivering * (run.bytes / 2);
        first += run.count;
    }
    return std::min(total, plan.sampleLimit);
}

bool CaptureSound(const SoundPlan& plan, SoundFillCallback fill, const SampleSink& sink, const ProgressReport& progress)
{
    std::vector<int16_t> region(LargestCall(plan) / 2 + 1);
    CallCursor cursor{plan};
    uint64_t delivered = 0;
    uint32_t bytes = 0;
    while (delivered < plan.sampleLimit && cursor.Next(bytes)) {
        std::fill_n(region.begin(), bytes / 2 + 1, int16_t(0));
        fill(region.data(), bytes);
        if (cursor.index <= SilentCallCount && !plan.withLeadIn) continue;
        const uint64_t count = std::min<uint64_t>(bytes / 2, plan.sampleLimit - delivered);
        if (count > 0 && !sink(region.data(), static_cast<size_t>(count))) return false;
        delivered += count;
        if (progress) progress(delivered);
    }
    return true;
}
