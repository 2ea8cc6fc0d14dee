#include "app/sound_session.h"

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "app/file_checks.h"
#include "music/player.h"
#include "music/player_state.h"
#include "sound/sound_server.h"

namespace {

struct SoundSession {
    const SoundDeviceOps* device = nullptr;
    SoundServer* server = nullptr;   // made on the first start, never freed
    void* window = nullptr;          // the device's window, for each opening
    std::string chosenSong;          // empty: the assets folder's song
    bool muted = false;
    bool leftRunning = false;
};

SoundSession Session;

}   // namespace

void UseSoundDevice(const SoundDeviceOps* device)
{
    Session.device = device;
}

void SetSoundMuted(bool muted)
{
    Session.muted = muted;
    if (SoundPlays() && Session.device->setMuted) Session.device->setMuted(muted);
}

bool SoundMuted()
{
    return Session.muted;
}

bool SoundPlays()
{
    return Session.server && Session.server->IsOpen();
}

const char* SongPath()
{
    return Session.chosenSong.empty() ? AssetPath(SongFileName) : Session.chosenSong.c_str();
}

bool ChooseSong(const std::string& path, std::string& reason)
{
    if (!IsReadableFile(path, reason)) return false;
    Session.chosenSong = path;
    return true;
}

int StartSound(void* window, bool* deviceFailed)
{
    if (deviceFailed) *deviceFailed = false;
    LoadSongFromFile(SongPath());
    if (window) Session.window = window;
    if (!Session.device) return -1;
    // One server for the whole run; a new song opens it again.
    if (!Session.server) Session.server = new SoundServer(Session.window, *Session.device);
    if (Session.server->Open(&FillCallback)) {
        if (Session.muted) SetSoundMuted(true);
        return 0;
    }
    if (deviceFailed) *deviceFailed = true;
    return -1;
}

bool StopSound()
{
    if (!Session.server || Session.server->Close()) return true;
    Session.leftRunning = true;
    return false;
}

bool SoundLeftRunning()
{
    return Session.leftRunning;
}

int RestartSound()
{
    // The sound thread is the player's only user while it runs; with it
    // ended, the player is this thread's again until the sound reopens.
    StopSound();
    RestorePlayerStartState();
    return StartSound(nullptr);
}

bool SwitchSong(const std::string& path, std::string& reason)
{
    if (!ChooseSong(path, reason)) return false;
    RestartSound();
    return true;
}

SoundServer* SessionServer()
{
    return Session.server;
}

void ResetSoundSession()
{
    // A test's server goes with its session: the next may stream through
    // another device.
    if (StopSound()) delete Session.server;
    Session = SoundSession{};
}
