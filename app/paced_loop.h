// The loop of the front ends paced by the clock (SDL, the web page, the
// tests' made-up display). Each
// pass runs the turns the elapsed time holds at 9.5 ms a turn, every one of
// them rendering its frame whether or not it is shown, so frame N is the same
// picture on any display; then it presents the newest frame, no more often
// than the display can show frames.
//
// One catch-up policy for every front end: a pass runs at most
// MostTurnsPerPass turns (half a second's worth, so a slow present or a busy
// moment is caught up and the picture keeps time with the music); a longer
// gap (a suspended process, a hidden page) is skipped rather than raced
// through; and where turns cost more than their 9.5 ms, a pass stops after
// MostTurnMillisecondsPerPass and presents, the rest owed to the next pass,
// so the picture still changes several times a second.
#pragma once

#include <cstdint>

#include "app/frame_cycle.h"
#include "app/front_end.h"
#include "app/turn_pacer.h"

inline constexpr int MostTurnsPerPass = 53;
inline constexpr double MostTurnMillisecondsPerPass = 100.0;
// The display rate assumed where the system does not say.
inline constexpr int DefaultRefreshHz = 60;

struct PacedLoop {
    TurnPacer pacer;
    // The least time between the starts of two presents, in milliseconds;
    // 0 where the display itself paces the passes (a page's animation frames).
    double presentInterval = 0.0;
    double lastPresent = -1.0;   // negative before the first
    bool unshown = false;        // a frame has been drawn since the last present
    uint64_t turns = 0;
    uint64_t turnLimit = UINT64_MAX;   // the loop ends after this many turns
    int (*turn)() = RunTurn;           // one turn's work
    // Where the time goes, by the front end's clock.
    uint64_t presents = 0;
    double turnMilliseconds = 0.0;
    double presentMilliseconds = 0.0;
};

// The present interval for a display mode of `refreshHz` (0 where unknown).
double PresentIntervalFor(int refreshHz);

// Starts the clock: the first pass owes nothing.
void StartLoop(PacedLoop& loop, const FrontEnd& frontEnd);

// One pass. Events are taken between the turns, so a close request is
// answered within a turn even where many fall due at once. False when the
// intro is to end: a close request, or the turn limit reached (its last
// frame presented).
bool RunPass(PacedLoop& loop, const FrontEnd& frontEnd);

// How long after `now` the next pass has anything to do: the next turn, or
// a present of a frame not yet shown.
double MillisecondsToNextPass(const PacedLoop& loop, double now);

// The whole loop of a front end that can sleep: passes until one says the
// intro is to end, sleeping (frontEnd.sleep) between them until the next has
// work (at least a millisecond, so that a wait is a real one).
void RunPacedLoop(PacedLoop& loop, const FrontEnd& frontEnd);
