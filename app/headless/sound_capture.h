// The tune without a sound device: FillCallback calls made one after another
// as a SoundServer would make them, each into a fresh region, and the
// samples they write handed on in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "music/player_state.h"
#include "sound/sound_server.h"

// `count` consecutive FillCallback calls of `bytes` bytes each.
struct CallRun {
    uint32_t bytes = 0;
    uint64_t count = 0;
};

// The calls of a server that keeps pace: the whole ring at once, then the
// 20 ms the play cursor moves between two refills.
constexpr uint32_t FirstPacedCallBytes = FirstRefillBytes;
constexpr uint32_t PacedCallBytes = PacedRefillBytes;
// The player's first calls leave their regions as they are.
constexpr uint64_t SilentCallCount = StartCountdown - 1;

struct SoundPlan {
    std::vector<CallRun> calls;     // the calls in order, unless paced
    bool paced = false;             // FirstPacedCallBytes, then PacedCallBytes each, without end
    uint64_t sampleLimit = ~0ull;   // stop after this many samples, the last call's cut short
    // Also hand on the regions of the silent calls (zero: silence), which is
    // what a ring that starts silent plays before the first written sound.
    bool withLeadIn = false;
};

// Takes the next `count` samples; false stops the capture.
using SampleSink = std::function<bool(const int16_t* samples, size_t count)>;
using ProgressReport = std::function<void(uint64_t samplesSoFar)>;

// How many samples CaptureSound hands on for the plan. A paced plan must
// have a sample limit.
uint64_t PlannedSamples(const SoundPlan& plan);

// Makes the plan's calls to `fill`, each with its own zeroed region, and hands
// what each call leaves in its region to `sink` (byte count / 2 samples;
// nothing for the silent calls unless withLeadIn). False if the sink refused.
bool CaptureSound(const SoundPlan& plan, SoundFillCallback fill, const SampleSink& sink,
                  const ProgressReport& progress = {});
