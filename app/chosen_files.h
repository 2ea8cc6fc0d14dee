// Files the user hands the intro: named on the command line before it
// starts, or dropped on its window while it runs.
#pragma once

#include <string>

// Checks what the user named on the command line before the intro starts:
// an assets folder and a song (either may be empty). A folder that isn't one
// or a song that can't be read is reported as an error; false then.
bool TakeNamedPaths(const std::string& assetsFolder, const std::string& song);

// Files dropped on the window, one drop at a time: the first file of a drop
// is played (SwitchSong, sound_session.h), the others are named on stderr as
// ignored, and a file that can't be read is named there while the current
// song plays on.
void BeginDrop();
void DropFile(const char* path);
