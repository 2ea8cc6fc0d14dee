// Extras of the DirectSound device that only the Windows front end uses.
#pragma once

class SoundServer;

// Stops the streaming thread after its current refill, then stops and
// releases the ring and the device, so that the process ends with no thread
// inside DirectSound (Wine's process exit can wait for ever on one caught
// there). Safe to call when the sound never opened. Returns false when the
// thread didn't stop within a second (stuck in a device that no longer
// answers); it and the device are then left to the end of the process.
bool DirectSoundShutdown(SoundServer* server);
