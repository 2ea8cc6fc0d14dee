// The sound device inside a Web Audio AudioWorkletProcessor: the memory ring
// in the sound module's own memory, played by the processor's `process`
// on the browser's audio thread, which also runs the sound thread's passes.
#pragma once

#include <cstdint>

#include "sound/sound_device.h"

// The device: a ring that WorkletSoundPlay plays.
extern const SoundDeviceOps WorkletSoundDevice;

// The output's quantum: `samples` samples into `out`, the fade-out of a ring
// that closed first. The refills come inside, each time the output has
// played another 20 ms (882 samples) of the current ring, at exactly that
// sample: the sound thread's pace, kept by the audio clock. False when no
// ring is open and no fade-out is left to play (`out` is then silence).
bool WorkletSoundPlay(int16_t* out, uint32_t samples);

// Samples of a closed ring's fade-out still to be played before the
// current ring is heard.
uint32_t WorkletSoundFadeLeft();

// True once a ring asked to fade out has, and its fade-out has played.
bool WorkletSoundFadedOut();
