// The song the intro plays: the assets folder's, or a register dump the user
// chose (a file named on the command line, dropped on the window or picked
// on the page), played under the player's own rules for its size and format.
#pragma once

#include <string>

// Where OnCreate reads the song from.
const char* SongPath();

// Makes `path` the song, once it is known to be a regular file that can be
// read; otherwise false, with `reason` saying why, and the song stays as it
// was.
bool ChooseSong(const std::string& path, std::string& reason);

// While the intro runs: plays `path` from its start instead of the current
// song. The sound is closed (the music fading out), the player is set up anew
// for the new song while no sound thread runs, and the sound opens again
// (unless `muted`), its music fading in. The picture is not touched. False,
// with the current song playing on, when `path` can't be chosen.
bool SwitchSong(const std::string& path, bool muted, std::string& reason);

// Files dropped on the window, one drop at a time: the first file of a drop
// is played (SwitchSong), the others are named on stderr as ignored, and a
// file that can't be read is named there while the current song plays on.
void BeginSongDrop();
void DropSongFile(const char* path, bool muted);

// Checks what the user named on the command line before the intro starts:
// an assets folder and a song (either may be empty). A folder that isn't one
// or a song that can't be read is reported as an error; false then.
bool TakeNamedPaths(const std::string& assetsFolder, const std::string& song);
