// The intro without a window or a sound device, for the capture tool, the
// tests and songc: the same start-up and the same turns (RunTurn,
// frame_cycle.h), minus the device, the sleep and the presentation. The tune
// is made by calling the player's FillCallback as a sound server would
// (sound_capture.h).
#pragma once

#include <string>

// Loads the song: `songPath` empty, the assets folder's song, as the intro
// loads it; otherwise that file, under the player's own rules for its size
// and format. False (after saying why) if the named file can't be read.
bool StartHeadlessSound(const std::string& songPath = {});

// The intro's start-up: the song, then InitPicture.
void StartHeadlessIntro();
