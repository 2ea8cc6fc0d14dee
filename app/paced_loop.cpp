#include "app/paced_loop.h"

#include "base/arith.h"

namespace {

bool PresentAllowed(const PacedLoop& loop, double now)
{
    return loop.lastPresent < 0.0 || now - loop.lastPresent >= loop.presentInterval;
}

}   // namespace

double PresentIntervalFor(int refreshHz)
{
    return 1000.0 / (refreshHz > 0 ? refreshHz : DefaultRefreshHz);
}

void StartLoop(PacedLoop& loop, const FrontEnd& frontEnd)
{
    TurnsDue(loop.pacer, frontEnd.now(), MostTurnsPerPass);
}

bool RunPass(PacedLoop& loop, const FrontEnd& frontEnd)
{
    const double passStart = frontEnd.now();
    int turns = TurnsDue(loop.pacer, passStart, MostTurnsPerPass);
    const uint64_t left = loop.turnLimit - loop.turns;
    if (static_cast<uint64_t>(turns) > left) turns = static_cast<int>(left);
    for (int i = 0; i < turns; ++i) {
        const double turnStart = frontEnd.now();
        loop.turn();
        loop.turnMilliseconds += frontEnd.now() - turnStart;
        ++loop.turns;
        loop.unshown = true;
        if (i + 1 == turns) break;
        if (frontEnd.takeEvents()) return false;
        if (frontEnd.now() - passStart > MostTurnMillisecondsPerPass) {
            PutBackTurns(loop.pacer, turns - i - 1);
            break;
        }
    }
    const bool last = loop.turns >= loop.turnLimit;
    if (loop.unshown) {
        const double now = frontEnd.now();
        if (last || PresentAllowed(loop, now)) {
            loop.lastPresent = now;
            loop.unshown = false;
            frontEnd.present();
            loop.presentMilliseconds += frontEnd.now() - now;
            ++loop.presents;
        }
    }
    return !last;
}

double MillisecondsToNextPass(const PacedLoop& loop, double now)
{
    double wait = MillisecondsToNextTurn(loop.pacer, now);
    if (loop.unshown) {
        const double present = loop.lastPresent + loop.presentInterval - now;
        if (present < wait) wait = present;
    }
    return wait > 0.0 ? wait : 0.0;
}

void RunPacedLoop(PacedLoop& loop, const FrontEnd& frontEnd)
{
    StartLoop(loop, frontEnd);
    while (!frontEnd.takeEvents() && RunPass(loop, frontEnd))
        frontEnd.sleep(static_cast<uint32_t>(TruncToInt(MillisecondsToNextPass(loop, frontEnd.now()))) + 1);
}
