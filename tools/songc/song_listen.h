// A compiled song heard at once: played through the intro's own player into
// a WAV file, one pass of the song long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Plays `song` (the bytes songc wrote) for `frames` song frames (50 a
// second), high-passed and faded in as quillmoor-capture's --dc-block does,
// and writes the WAV file `path` ("-": standard output). False, after
// reporting why, when the file can't be written.
bool WriteSongWav(const std::vector<uint8_t>& song, size_t frames, const std::string& path);
