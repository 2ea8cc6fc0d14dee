// The intro's life, the same for every front end:
//
//   BeginIntro(frontEnd)   the banner, before any window exists; from here
//                          on the run warns and sleeps through the front end
//   OnCreate(window)       while the window is being created: the song is
//                          loaded and the sound started on the front end's
//                          device (sound_session.h)
//   (the front end shows its window)
//   InitPicture            the picture's one-time set-up (frame_cycle.h)
//   ... the loop: FrameStep and Present per turn (the Windows program), or
//       passes of the paced loop (paced_loop.h)
//   CloseIntro()           the closing line and the sound stopped, in the
//                          order the front end gives
//
// RunIntro does all of it for a front end that can loop and sleep (SDL, the
// tests' made-up display). The page, which can't loop, calls
// StartSteppedIntro once and StepIntro for each display refresh.
#pragma once

#include "app/front_end.h"
#include "app/paced_loop.h"

void BeginIntro(const FrontEnd& frontEnd);

// The sound's start (StartSound, sound_session.h); where the device can't be
// opened, shows "ERROR: Can't open the SoundServer." and returns -1, and the
// intro runs without sound. Returns 0 when the sound runs, -1 when it is
// muted or there is no device.
int OnCreate(void* window);

// One turn of a loop without a clock: RunTurn, then a 9 ms sleep.
int FrameStep();

// The closing line and the sound stopped (once; later calls do nothing).
// False when the sound thread did not end in time: it and the device are
// then left to the end of the process.
bool CloseIntro();
bool IntroClosed();

// The window back after CloseIntro (a page restored from the browser's
// back-forward cache): the intro is open again, its song starting over on
// the front end's device (RestartSound), the picture going on from its last
// frame; the next CloseIntro says the closing line again.
void ReopenIntro();

// The whole intro, from the banner to the closing line. 0 when it ran and
// was closed, 1 when its window could not be made.
int RunIntro(const FrontEnd& frontEnd);

// A front end that can't loop: the start (the banner, the sound on the
// window openWindow gives, the picture, and the first frame presented,
// unless the loop's turn limit is 0), then one pass of the loop for each
// display refresh once StartLoop has started its clock. StepIntro closes the
// intro when the loop ends and returns false then.
void StartSteppedIntro(const FrontEnd& frontEnd, PacedLoop& loop);
bool StepIntro(PacedLoop& loop);
