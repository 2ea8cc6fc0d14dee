// The intro's sound, in one place: the one SoundServer, the device it
// streams through, the song it plays (the assets folder's, or one the user
// chose: named on the command line, dropped on the window, picked on the
// page) and whether the sound is muted. Front ends ask the session; none of
// them looks at the server.
//
// The server streams through the device its front end names; without one
// (the capture tool, the tests' headless runs, a desktop intro started
// muted) the song is loaded and the player made ready, but nothing plays.
#pragma once

#include <string>

struct SoundDeviceOps;
class SoundServer;

// The device the sound opens on; null for none. Before StartSound.
void UseSoundDevice(const SoundDeviceOps* device);

// Silences the output, or lets it be heard again, on devices that can (the
// page's); the ring plays on, so the music keeps its time, and a song
// switched to while muted stays silent.
void SetSoundMuted(bool muted);
bool SoundMuted();

// True while the server is open on a device (heard unless muted).
bool SoundPlays();

// Where the song is read from, and choosing another: `path` becomes the
// song once it is known to be a readable regular file; otherwise false,
// with `reason` saying why, and the song stays as it was.
const char* SongPath();
bool ChooseSong(const std::string& path, std::string& reason);

// Loads the song and prepares the player, then opens the one server (made
// on first use, for the whole run) on the device for `window`. 0 when the
// sound plays; -1 when there is no device, or the device could not be
// opened (`deviceFailed` then says so, for the warning).
int StartSound(void* window, bool* deviceFailed = nullptr);

// Closes the server, if it was opened: the music fades out, the sound
// thread ends, the device closes. False when the thread did not end in
// time; it is then left to the end of the process, and so is the device.
bool StopSound();

// True once StopSound has left a sound thread that did not end: whatever
// the device stands on must then not be shut down.
bool SoundLeftRunning();

// The sound closed (StopSound) opened again on its device, the song from
// its start with the music fading in: a page shown again after it was left.
// As StartSound.
int RestartSound();

// While the intro runs: plays `path` from its start instead of the current
// song. The sound is closed (the music fading out), the player is set up
// anew for the new song while no sound thread runs, and the sound opens
// again, its music fading in. The picture is not touched. False, with the
// current song playing on, when `path` can't be chosen.
bool SwitchSong(const std::string& path, std::string& reason);

// The server, for the tests that drive its refills by hand.
SoundServer* SessionServer();

// The session as at process start (the server closed, if one was open): no
// song chosen, not muted, no device.
void ResetSoundSession();
