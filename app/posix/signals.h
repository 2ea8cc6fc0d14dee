// The signals the intro takes on a POSIX system.
//
// SIGTERM and SIGINT end it. While it is starting, a step may be waiting on
// the system (a display, a sound server), so a signal then ends the process
// at once with the closing line; once the loop runs, it asks the loop to end
// at its next pass, as a close request does.
//
// SIGPIPE is ignored: a sound server that goes away while it is being
// written to must not end the program. The write fails instead and the
// sound device reports itself lost (the sound then tries to come back; the
// picture runs on).
#pragma once

void CatchSignals();

// From now on SIGTERM and SIGINT only ask: the loop looks at EndSignalled.
void LetLoopTakeEndSignals();

bool EndSignalled();
