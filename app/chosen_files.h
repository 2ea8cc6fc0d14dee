// Files the user hands the intro: named on the command line before it
// starts, or dropped on its window while it runs.
#pragma once

#include <string>

// Checks what the user named on the command line before the intro starts:
// an assets folder and a song (either may be empty). A folder that isn't one
// or a song that can't be read is reported as an error; false then.
bool TakeNamedPaths(const std::string& assetsFolder, const std::string& song);

// Files dropped on the window, one drop at a time, each taken by its kind
// (PieceOfFile, live_assets.h): a logo, a font half or a text page is drawn
// from the next frame; of the songs the first is played (SwitchSong,
// sound_session.h) and the others are named on stderr as ignored. A file
// that can't be used is named there with the reason, and the piece before
// stays.
void BeginDrop();
void DropFile(const char* path);
