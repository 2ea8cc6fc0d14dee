#include "app/song_choice.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "app/intro_run.h"
#include "music/player_state.h"

namespace {

std::string Chosen;   // empty: the assets folder's song

}   // namespace

const char* SongPath()
{
    return Chosen.empty() ? AssetPath(SongFileName) : Chosen.c_str();
}

bool ChooseSong(const std::string& path, std::string& reason)
{
    // Only a regular file: a FIFO would hold the intro until a writer came,
    // and a folder or a device is no song.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        reason = "it is a folder";
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        reason = "it is not a regular file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    std::fclose(file);
    Chosen = path;
    return true;
}

bool SwitchSong(const std::string& path, bool muted, std::string& reason)
{
    if (!ChooseSong(path, reason)) return false;
    // The sound thread is the player's only user while it runs; with it
    // ended, the player is this thread's again until the sound reopens.
    StopIntroSound();
    RestorePlayerStartState();
    StartIntroSound(nullptr, muted);
    return true;
}
