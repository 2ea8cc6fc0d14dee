// The capture tool's FillCallback calls: which calls it makes, with what
// regions, and which samples it keeps. A recording callback stands in for
// the player here; the player's own stream is checked end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/headless/sound_capture.h"
#include "base/dc_blocker.h"
#include "base/stream_format.h"

namespace {

struct Recorder {
    std::vector<uint32_t> calls;
    bool regionsFresh = true;
    int16_t next = 1;   // every sample written gets the next value
    bool writeWhenSilent = false;
};
Recorder Record;

// Writes bytes / 2 samples from the 10th call on (or from the first), and
// checks that each region arrives zeroed, its odd last byte included.
int RecordingFill(int16_t* samples, uint32_t bytes)
{
    Record.calls.push_back(bytes);
    const auto* raw = reinterpret_cast<const uint8_t*>(samples);
    for (uint32_t i = 0; i < bytes; i++) Record.regionsFresh = Record.regionsFresh && raw[i] == 0;
    if (Record.calls.size() <= SilentCallCount && !Record.writeWhenSilent) return 0;
    for (uint32_t i = 0; i < bytes / 2; i++) samples[i] = Record.next++;
    // Dirty the region, as the ring's earlier contents would be.
    if (bytes % 2) reinterpret_cast<uint8_t*>(samples)[bytes - 1] = 0xAA;
    return 0;
}

struct Captured {
    std::vector<int16_t> samples;
    bool ok = false;
};

Captured Capture(const SoundPlan& plan)
{
    Record = Recorder{};
    Captured out;
    out.ok = CaptureSound(plan, &RecordingFill, [&](const int16_t* s, size_t n) {
        out.samples.insert(out.samples.end(), s, s + n);
        return true;
    });
    return out;
}

std::vector<int16_t> Counting(int16_t first, size_t count)
{
    std::vector<int16_t> values(count);
    for (size_t i = 0; i < count; i++) values[i] = static_cast<int16_t>(first + i);
    return values;
}

}   // namespace

TEST(CaptureSound, CallsAsListedEachWithAFreshRegion)
{
    SoundPlan plan;
    plan.calls = {{3, 2}, {10, 1}, {8192, 1}, {1764, 12}, {5, 1}, {0, 1}};
    const Captured captured = Capture(plan);
    ASSERT_TRUE(captured.ok);
    std::vector<uint32_t> expectedCalls = {3, 3, 10, 8192};
    expectedCalls.insert(expectedCalls.end(), 12, 1764);
    expectedCalls.insert(expectedCalls.end(), {5, 0});
    EXPECT_EQ(Record.calls, expectedCalls);
    EXPECT_TRUE(Record.regionsFresh);
    // Calls 10..18 (five of 1764 bytes, then 5 and 0 bytes) write what is kept.
    EXPECT_EQ(captured.samples, Counting(1, 7 * 882 + 2));
    EXPECT_EQ(PlannedSamples(plan), captured.samples.size());
}

TEST(CaptureSound, PacedCallsUntilTheSamplesWanted)
{
    SoundPlan plan;
    plan.paced = true;
    plan.sampleLimit = 3 * 882 + 5;
    const Captured captured = Capture(plan);
    ASSERT_TRUE(captured.ok);
    std::vector<uint32_t> expectedCalls = {8192};
    expectedCalls.insert(expectedCalls.end(), 8 + 4, 1764);   // 8 silent, 4 writing
    EXPECT_EQ(Record.calls, expectedCalls);
    // The last call's region is cut short.
    EXPECT_EQ(captured.samples, Counting(1, plan.sampleLimit));
    EXPECT_EQ(PlannedSamples(plan), plan.sampleLimit);

    plan.sampleLimit = 50 * 882;   // one second: 9 silent calls, then 50
    EXPECT_EQ(Capture(plan).samples.size(), 44100u);
    EXPECT_EQ(Record.calls.size(), 59u);

    plan.sampleLimit = 0;
    EXPECT_TRUE(Capture(plan).samples.empty());
    EXPECT_TRUE(Record.calls.empty());
}

TEST(CaptureSound, LeadInKeepsTheSilentRegions)
{
    SoundPlan plan;
    plan.paced = true;
    plan.withLeadIn = true;
    constexpr size_t LeadIn = 4096 + 8 * 882;
    plan.sampleLimit = LeadIn + 1000;
    const Captured captured = Capture(plan);
    ASSERT_TRUE(captured.ok);
    ASSERT_EQ(captured.samples.size(), LeadIn + 1000);
    EXPECT_EQ(std::vector<int16_t>(captured.samples.begin(), captured.samples.begin() + LeadIn),
              std::vector<int16_t>(LeadIn, 0));
    EXPECT_EQ(std::vector<int16_t>(captured.samples.begin() + LeadIn, captured.samples.end()), Counting(1, 1000));

    // What the silent calls leave is what plays, written or not.
    SoundPlan listed;
    listed.calls = {{4, 12}};
    listed.withLeadIn = true;
    Record = Recorder{};
    Record.writeWhenSilent = true;
    std::vector<int16_t> kept;
    ASSERT_TRUE(CaptureSound(listed, &RecordingFill, [&](const int16_t* s, size_t n) {
        kept.insert(kept.end(), s, s + n);
        return true;
    }));
    EXPECT_EQ(kept, Counting(1, 24));
    EXPECT_EQ(PlannedSamples(listed), 24u);
}

TEST(CaptureSound, PlannedSamplesAcrossRuns)
{
    // The silent calls span runs of different sizes.
    for (const bool leadIn : {false, true}) {
        SoundPlan plan;
        plan.withLeadIn = leadIn;
        plan.calls = {{2, 5}, {7, 6}, {100, 3}, {64, 1}};
        const Captured captured = Capture(plan);
        EXPECT_EQ(PlannedSamples(plan), captured.samples.size()) << leadIn;
        EXPECT_EQ(captured.samples.size(), leadIn ? 5 * 1 + 6 * 3 + 3 * 50 + 32u : 2 * 3 + 3 * 50 + 32u);
    }
    SoundPlan few;
    few.calls = {{1764, 9}};
    EXPECT_EQ(PlannedSamples(few), 0u);
    EXPECT_TRUE(Capture(few).samples.empty());
}

TEST(CaptureSound, RefusingSinkStopsTheCalls)
{
    SoundPlan plan;
    plan.calls = {{1764, 30}};
    Record = Recorder{};
    int taken = 0;
    EXPECT_FALSE(CaptureSound(plan, &RecordingFill, [&](const int16_t*, size_t) { return ++taken < 3; }));
    EXPECT_EQ(taken, 3);
    EXPECT_EQ(Record.calls.size(), SilentCallCount + 3);
}

TEST(CaptureDcBlock, LeadingSilencePassesThenTheOffsetDecaysToZero)
{
    // Silence, then a constant far from zero, as the player starts.
    std::vector<int16_t> stream(100, 0);
    stream.resize(100 + 44100, -16384);
    DcBlocker filter;
    // In blocks of any size: the filter carries its state across them.
    filter.Process(stream.data(), 150);
    filter.Process(stream.data() + 150, stream.size() - 150);
    for (size_t i = 0; i < 100; i++) ASSERT_EQ(stream[i], 0) << i;
    for (size_t i = 100; i < stream.size(); i++) ASSERT_EQ(stream[i], 0) << "a constant level is no step: " << i;
}

TEST(CaptureDcBlock, SquareWaveKeepsItsSwingLosesItsOffsetAndFadesIn)
{
    // 441 Hz square wave between -30000 and -10000: mean -20000.
    std::vector<int16_t> stream(3 * 44100);
    for (size_t i = 0; i < stream.size(); i++) stream[i] = (i / 50) % 2 ? -10000 : -30000;
    DcBlocker filter;
    filter.Process(stream.data(), stream.size());
    double sum = 0;
    int16_t low = 0, high = 0;
    for (size_t i = 44100; i < stream.size(); i++) {
        sum += stream[i];
        low = std::min(low, stream[i]);
        high = std::max(high, stream[i]);
    }
    EXPECT_LT(std::abs(sum / (2 * 44100)), 100.0);
    EXPECT_GT(high, 9000);
    EXPECT_LT(low, -9000);
    // The first 20 ms rise from nothing.
    EXPECT_EQ(stream[0], 0);
    int16_t early = 0;
    for (size_t i = 0; i < FadeSamples / 4; i++) early = std::max<int16_t>(early, std::abs(stream[i]));
    EXPECT_LT(early, 20000 / 4 + 100);
}
