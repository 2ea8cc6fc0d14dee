// The intro's start and end, the same for every front end:
//
//   AnnounceIntro            the banner, before any window exists
//   StartIntroSound          while the window is being created: the song is
//                            loaded and the sound opened (OnCreate), or, muted,
//                            only the song loaded
//   (the front end shows its window)
//   InitPicture              the picture's one-time set-up (intro.h)
//   ... the loop: FrameStep and Present per turn, or RunPass (intro_loop.h)
//   EndIntro                 the closing line and the sound stopped, in the
//                            order the front end needs
#pragma once

// Prints the banner on standard output, at once.
void AnnounceIntro();

// OnCreate(window), or when `muted` the song alone, with no sound device
// opened. Returns OnCreate's result (-1 when muted).
int StartIntroSound(void* window, bool muted);

// Where the sound stops relative to the closing line: the desktop programs
// on SDL and the web page fade the music out while their window goes, then
// print it; the Windows program prints it as its window goes and then stops
// the sound, so the line is never held up by a device that doesn't answer.
enum class SoundStop { BeforeClosingLine, AfterClosingLine };

// Closes the SoundServer, if one was opened, without the closing line (an
// intro that could not start). False as for EndIntro.
bool StopIntroSound();

// Prints the closing line and closes the SoundServer (if one was opened) in
// the order given. False when the sound thread did not end in time; it is
// then left to the end of the process, and so is the device.
bool EndIntro(SoundStop order);
