// The clock-paced loop's stepping, driven by a made-up clock.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/turn_pacer.h"

namespace {

// Passes every `step` ms for `total` ms; returns the turns run.
long RunFor(TurnPacer& pacer, double& now, double step, double total, int mostTurns)
{
    long turns = 0;
    for (const double end = now + total; now < end;) {
        now += step;
        turns += TurnsDue(pacer, now, mostTurns);
    }
    return turns;
}

TEST(TurnPacer, TheFirstPassStartsTheClock)
{
    TurnPacer pacer;
    EXPECT_EQ(TurnsDue(pacer, 12345.0, 8), 0);
    EXPECT_EQ(TurnsDue(pacer, 12345.0 + TurnMilliseconds - 0.01, 8), 0);
    EXPECT_EQ(TurnsDue(pacer, 12345.0 + TurnMilliseconds, 8), 1);
}

// Whatever a pass costs, the turns keep to one per 9.5 ms of the clock: 1000
// turns in 9.5 s, from fast passes and slow ones alike.
TEST(TurnPacer, TurnsFollowTheClockWhateverThePassesCost)
{
    for (double step : {1.0, 3.3, 9.5, 16.667, 33.3, 70.0}) {
        TurnPacer pacer;
        double now = 0.0;
        TurnsDue(pacer, now, 8);
        const long turns = RunFor(pacer, now, step, 9500.0, 8);
        // The pass that crosses the end may bring a turn or, for a long step, a few.
        EXPECT_GE(turns, 1000 - 1) << "a pass every " << step << " ms";
        EXPECT_LE(turns, static_cast<long>((now + 0.5) / TurnMilliseconds)) << "a pass every " << step << " ms";
    }
}

TEST(TurnPacer, AStallRunsAtMostTheBoundAndForgetsTheRest)
{
    TurnPacer pacer;
    TurnsDue(pacer, 0.0, 4);
    EXPECT_EQ(TurnsDue(pacer, 2000.0, 4), 4);
    // Nothing owed from the stall: the next turn is a whole turn away.
    EXPECT_DOUBLE_EQ(MillisecondsToNextTurn(pacer, 2000.0), TurnMilliseconds);
    EXPECT_EQ(TurnsDue(pacer, 2000.0 + TurnMilliseconds, 4), 1);
}

// Up to the bound a late pass catches up in full, the remainder carried over.
TEST(TurnPacer, ALatePassWithinTheBoundCatchesUp)
{
    TurnPacer pacer;
    TurnsDue(pacer, 0.0, 4);
    EXPECT_EQ(TurnsDue(pacer, 4.5 * TurnMilliseconds, 4), 4);
    EXPECT_DOUBLE_EQ(MillisecondsToNextTurn(pacer, 4.5 * TurnMilliseconds), 0.5 * TurnMilliseconds);
    EXPECT_EQ(TurnsDue(pacer, 5.0 * TurnMilliseconds, 4), 1);
}

// Turns a pass had no time for are due at the next pass, on top of the time
// that has passed since; together they still obey the bound.
TEST(TurnPacer, TurnsPutBackAreDueAgain)
{
    TurnPacer pacer;
    TurnsDue(pacer, 0.0, 8);
    EXPECT_EQ(TurnsDue(pacer, 6.0 * TurnMilliseconds, 8), 6);
    PutBackTurns(pacer, 4);
    EXPECT_DOUBLE_EQ(MillisecondsToNextTurn(pacer, 6.0 * TurnMilliseconds), 0.0);
    EXPECT_EQ(TurnsDue(pacer, 7.0 * TurnMilliseconds, 8), 5);
    PutBackTurns(pacer, 5);
    EXPECT_EQ(TurnsDue(pacer, 11.0 * TurnMilliseconds, 8), 8);   // 9 owed: the bound, the rest forgotten
    EXPECT_EQ(TurnsDue(pacer, 11.5 * TurnMilliseconds, 8), 0);
}

TEST(TurnPacer, TheWaitCountsDownToTheNextTurn)
{
    TurnPacer pacer;
    TurnsDue(pacer, 100.0, 8);
    EXPECT_DOUBLE_EQ(MillisecondsToNextTurn(pacer, 100.0), TurnMilliseconds);
    EXPECT_DOUBLE_EQ(MillisecondsToNextTurn(pacer, 104.0), TurnMilliseconds - 4.0);
    EXPECT_DOUBLE_EQ(MillisecondsToNextTurn(pacer, 150.0), 0.0);
    // A clock that steps back owes nothing and runs nothing.
    EXPECT_EQ(TurnsDue(pacer, 50.0, 8), 0);
}

}   // namespace
