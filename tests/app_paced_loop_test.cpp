// The clock-paced loop of the SDL and web front ends, driven by a made-up
// clock: the turns keep one per 9.5 ms however often the display can show a
// frame, and presents never come faster than it does.
#include <gtest/gtest.h>

#include "app/paced_loop.h"
#include "app/shell.h"

namespace {

// The made-up front end: turns and presents cost what the test says, and a
// wait moves the clock on as a sleep would.
struct FakeDisplay {
    double now = 1000.0;
    double turnCost = 0.2;
    double presentCost = 0.5;
    long turns = 0;
    long presents = 0;
    long closeAfterTurns = -1;
};

FakeDisplay Fake;

double FakeNow()
{
    return Fake.now;
}

bool FakeEvents()
{
    return Fake.closeAfterTurns >= 0 && Fake.turns >= Fake.closeAfterTurns;
}

void FakePresent()
{
    Fake.now += Fake.presentCost;
    ++Fake.presents;
}

int FakeTurn()
{
    Fake.now += Fake.turnCost;
    ++Fake.turns;
    return 0;
}

constexpr FrontEnd FakeFrontEnd{.now = FakeNow, .takeEvents = FakeEvents, .present = FakePresent};

// Runs the loop as the SDL front end does for `milliseconds` of the clock.
void RunFor(PacedLoop& loop, double milliseconds)
{
    const double end = Fake.now + milliseconds;
    while (Fake.now < end && RunPass(loop, FakeFrontEnd)) Fake.now += MillisecondsToNextPass(loop, Fake.now) + 0.05;
}

class PacedLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fake = FakeDisplay{};
        loop = PacedLoop{};
        loop.turn = FakeTurn;
    }
    PacedLoop loop;
};

TEST_F(PacedLoopTest, PresentsKeepToTheRefreshRateWhileTurnsKeepToTheClock)
{
    for (int refresh : {0, 30, 60, 144}) {
        SetUp();
        loop.presentInterval = PresentIntervalFor(refresh);
        StartLoop(loop, FakeFrontEnd);
        RunFor(loop, 10000.0);
        const int hz = refresh > 0 ? refresh : DefaultRefreshHz;
        EXPECT_NEAR(static_cast<double>(Fake.turns), 10000.0 / TurnMilliseconds, 2.0) << refresh << " Hz";
        EXPECT_LE(Fake.presents, hz * 10 + 1) << refresh << " Hz";
        // Still as many presents as the display shows, as long as turns come faster.
        EXPECT_GE(Fake.presents, std::min(hz, 105) * 10 * 9 / 10) << refresh << " Hz";
    }
}

TEST_F(PacedLoopTest, WithoutACapEveryPassThatDrewPresents)
{
    StartLoop(loop, FakeFrontEnd);
    RunFor(loop, 1000.0);
    EXPECT_NEAR(static_cast<double>(Fake.turns), 1000.0 / TurnMilliseconds, 2.0);
    EXPECT_EQ(Fake.presents, Fake.turns);   // one turn due per pass, each shown
}

TEST_F(PacedLoopTest, ASlowPresentIsCaughtUpAndALongStallSkipped)
{
    // Presents of 30 ms: three turns and more fall due in each, all run.
    Fake.presentCost = 30.0;
    StartLoop(loop, FakeFrontEnd);
    RunFor(loop, 3000.0);
    EXPECT_NEAR(static_cast<double>(Fake.turns), 3000.0 / TurnMilliseconds, 5.0);

    // A stall of 10 s: half a second is caught up at most, the rest skipped.
    const long before = Fake.turns;
    Fake.now += 10000.0;
    RunPass(loop, FakeFrontEnd);
    EXPECT_EQ(Fake.turns - before, MostTurnsPerPass);
}

TEST_F(PacedLoopTest, SlowTurnsStillPresentSeveralTimesASecond)
{
    Fake.turnCost = 20.0;   // a turn costs twice its time
    loop.presentInterval = PresentIntervalFor(60);
    StartLoop(loop, FakeFrontEnd);
    RunFor(loop, 5000.0);
    EXPECT_GE(Fake.presents, 5 * 8);
}

TEST_F(PacedLoopTest, ACloseRequestEndsThePassWithinATurn)
{
    StartLoop(loop, FakeFrontEnd);
    Fake.now += 200.0;   // 21 turns due
    Fake.closeAfterTurns = 3;
    EXPECT_FALSE(RunPass(loop, FakeFrontEnd));
    EXPECT_EQ(Fake.turns, 3);
}

TEST_F(PacedLoopTest, TheTurnLimitEndsTheLoopWithItsLastFrameShown)
{
    loop.turnLimit = 7;
    loop.presentInterval = 1e9;   // no present would be allowed but the last
    StartLoop(loop, FakeFrontEnd);
    RunFor(loop, 1000.0);
    EXPECT_EQ(Fake.turns, 7);
    EXPECT_EQ(loop.turns, 7u);
    EXPECT_EQ(Fake.presents, 2);   // the first frame, and the last
    EXPECT_FALSE(RunPass(loop, FakeFrontEnd));
}

}   // namespace
