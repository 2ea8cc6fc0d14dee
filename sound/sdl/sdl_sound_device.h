// The sound device on SDL2: SDL's audio callback plays a ring in memory.
#pragma once

#include "sound/sound_device.h"

extern const SoundDeviceOps SdlSoundDevice;
