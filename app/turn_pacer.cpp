#include "app/turn_pacer.h"

#include "app/shell.h"

int TurnsDue(TurnPacer& pacer, double now, int mostTurns)
{
    if (pacer.lastPass >= 0.0 && now > pacer.lastPass) pacer.owedMilliseconds += now - pacer.lastPass;
    pacer.lastPass = now;
    // The comparison rather than a division's truncation: whole turns only,
    // and no float-to-int conversion of a value that may be huge.
    int turns = 0;
    while (turns < mostTurns && pacer.owedMilliseconds >= TurnMilliseconds) {
        pacer.owedMilliseconds -= TurnMilliseconds;
        ++turns;
    }
    if (pacer.owedMilliseconds >= TurnMilliseconds) pacer.owedMilliseconds = 0.0;
    return turns;
}

void PutBackTurns(TurnPacer& pacer, int turns)
{
    if (turns > 0) pacer.owedMilliseconds += turns * TurnMilliseconds;
}

double MillisecondsToNextTurn(const TurnPacer& pacer, double now)
{
    const double elapsed = pacer.lastPass >= 0.0 && now > pacer.lastPass ? now - pacer.lastPass : 0.0;
    const double wait = TurnMilliseconds - pacer.owedMilliseconds - elapsed;
    return wait > 0.0 ? wait : 0.0;
}
