// The sound device on Windows: DirectSound's looping secondary buffer is the ring.
#pragma once

#include "sound/sound_device.h"

extern const SoundDeviceOps DirectSoundDevice;
