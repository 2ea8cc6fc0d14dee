// The DC blocker the capture tool and songc pass the tune through: the
// offset goes, the swing stays, leading silence passes and the start fades in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <vector>

#include "base/dc_blocker.h"
#include "base/stream_format.h"

TEST(DcBlocker, LeadingSilencePassesThenTheOffsetDecaysToZero)
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

TEST(DcBlocker, SquareWaveKeepsItsSwingLosesItsOffsetAndFadesIn)
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
