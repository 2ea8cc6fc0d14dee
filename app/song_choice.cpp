#include "app/song_choice.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "app/intro_run.h"
#include "base/error_report.h"
#include "music/player_state.h"

namespace {

std::string Chosen;     // empty: the assets folder's song
int DroppedFiles = 0;   // files of the drop so far

// The kind of file `path` names (its S_IFMT bits), or 0 with `reason` saying
// why it can't be looked at.
unsigned FileKind(const std::string& path, std::string& reason)
{
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) return status.st_mode & S_IFMT;
    reason = std::strerror(errno);
    return 0;
}

bool IsFolder(const std::string& path, std::string& reason)
{
    const unsigned kind = FileKind(path, reason);
    if (kind != 0 && kind != S_IFDIR) reason = "not a folder";
    return kind == S_IFDIR;
}

}   // namespace

const char* SongPath()
{
    return Chosen.empty() ? AssetPath(SongFileName) : Chosen.c_str();
}

bool ChooseSong(const std::string& path, std::string& reason)
{
    // Only a regular file: a FIFO would hold the intro until a writer came,
    // and a folder or a device is no song.
    const unsigned kind = FileKind(path, reason);
    if (kind == 0) return false;
    if (kind != S_IFREG) {
        reason = kind == S_IFDIR ? "it is a folder" : "it is not a regular file";
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

void BeginSongDrop()
{
    DroppedFiles = 0;
}

void DropSongFile(const char* path, bool muted)
{
    if (DroppedFiles++ > 0) {
        ReportWarning(std::string("ignored dropped file ") + path + " (one song at a time: the first is played)");
        return;
    }
    std::string reason;
    if (!SwitchSong(path, muted, reason))
        ReportWarning(std::string("cannot read ") + path + ": " + reason + " (the current song plays on)");
}

bool TakeNamedPaths(const std::string& assetsFolder, const std::string& song)
{
    std::string reason;
    if (!assetsFolder.empty() && !IsFolder(assetsFolder, reason)) {
        ReportError("cannot use the assets folder " + assetsFolder + ": " + reason);
        return false;
    }
    if (!song.empty() && !ChooseSong(song, reason)) {
        ReportError("cannot read " + song + ": " + reason);
        return false;
    }
    return true;
}
