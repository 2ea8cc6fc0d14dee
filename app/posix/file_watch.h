// Files followed by name with inotify (Linux). Each file's folder is
// watched rather than the file itself, so that both ways an editor saves are
// seen: writing the file in place (it is closed after writing) and renaming
// a new file over the old one (the old one's watch would see nothing). A
// file that is deleted, moved away or has its permissions changed is
// reported too, so that the reader can say it is gone.
//
// The descriptor doesn't block: the front end asks between its turns, and
// no thread waits on it.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int MostFollowedFiles = 8;

struct FileWatch {
    int fd = -1;
    int count = 0;
    int folderWatch[MostFollowedFiles] = {};
    std::string name[MostFollowedFiles];   // the file's name within its folder
};

// Starts the watch; false, with `reason`, when inotify can't be had.
bool OpenFileWatch(FileWatch& watch, std::string& reason);

// Follows the file at `path` (it need not exist yet; its folder must).
// Returns its number for TakeChangedFiles, or -1 with `reason`.
int FollowFile(FileWatch& watch, const std::string& path, std::string& reason);

// The followed files that changed since the last call: bit n for file
// number n. Never waits.
uint32_t TakeChangedFiles(FileWatch& watch);

void CloseFileWatch(FileWatch& watch);
