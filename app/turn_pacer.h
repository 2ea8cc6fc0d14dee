// Paces the turns of a loop that presents once per pass: each pass runs as
// many turns as the time since the last pass holds at TurnMilliseconds a
// turn, so the animation keeps its pace however long presenting takes. Every
// turn renders its frame, shown or not, so frame N is the same picture
// whatever the display. Times are in milliseconds from any fixed origin.
#pragma once

struct TurnPacer {
    double lastPass = -1.0;          // negative before the first pass
    double owedMilliseconds = 0.0;   // time not yet turned into turns
};

// The turns due at `now`. The first pass starts the clock and owes nothing.
// A gap worth more than `mostTurns` turns (a stalled display, a hidden
// page, a suspended process) runs `mostTurns` and forgets the rest, so the
// animation resumes rather than racing through the lost time.
int TurnsDue(TurnPacer& pacer, double now, int mostTurns);

// Turns TurnsDue gave that were not run (the pass ran out of time): they are
// due again at the next pass.
void PutBackTurns(TurnPacer& pacer, int turns);

// How long after the last pass the next turn falls due (0 when it is due).
double MillisecondsToNextTurn(const TurnPacer& pacer, double now);
