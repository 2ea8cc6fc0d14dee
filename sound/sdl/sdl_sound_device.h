// Extras of the SDL2 sound device that only the SDL front end uses.
#pragma once

class SoundServer;

// Stops the streaming thread after its current refill and closes the audio
// device, so the program ends without a click. Safe to call when the sound
// never opened. Returns false when the thread didn't stop within a second
// (stuck in a device that no longer answers); it is then left to the end of
// the process, and so is the device.
bool SdlSoundShutdown(SoundServer* server);
