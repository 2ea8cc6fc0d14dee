#include "app/posix/signals.h"

#include <unistd.h>

#include <csignal>

#include "app/shell.h"

namespace {

volatile std::sig_atomic_t LoopRunning = 0;
volatile std::sig_atomic_t EndRequested = 0;

void OnEndSignal(int)
{
    if (LoopRunning) {
        EndRequested = 1;
        return;
    }
    // Only async-signal-safe calls here: write and _exit.
    const ssize_t written = write(STDOUT_FILENO, ClosingLine, sizeof ClosingLine - 1);
    (void)written;
    _exit(0);
}

}   // namespace

void CatchSignals()
{
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void LetLoopTakeEndSignals()
{
    LoopRunning = 1;
}

bool EndSignalled()
{
    return EndRequested;
}
