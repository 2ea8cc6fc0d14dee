// Extras of the Web Audio sound device that only the browser front end uses.
#pragma once

#include <cstdint>

#include "sound/sound_device.h"

// The device: a ring in the program's memory that Web Audio plays.
extern const SoundDeviceOps WebSoundDevice;

// Starts the ring playing through Web Audio and the refills with it. Browsers
// let a page make sound only from inside a user gesture, so the front end
// calls this from its click handler; until then the ring stands still at its
// first byte and nothing is refilled. False when the ring was never opened
// or the browser refused an audio context. A ring opened again after this
// (another song) plays at once, through the same context; called again, it
// closes that context and plays through a new one.
bool WebSoundStart();

// Bytes the browser has taken from the current ring since it opened (the
// current song's start).
uint32_t WebSoundConsumedBytes();
