// The intro without a window: the same start-up and the same frame cycle,
// in the same order, minus the sound device, the 9 ms sleep and the
// presentation.
#pragma once

#include <cstdint>
#include <string>

struct OutputFile;
struct SoundPlan;

// The intro's start-up: the song, then InitPicture. Sound alone needs only
// StartSound (the picture set-up never touches the player). `songPath`
// empty: the assets folder's song, as the intro loads it; otherwise that
// file, under the player's own rules for its size and format. False (after
// saying why) if the named file can't be read.
bool StartSound(const std::string& songPath = {});
void StartIntro();

// One frame, as a turn of the intro's loop draws it: RenderFrame, then
// ConvertFrame into Screen.OutputImage.
void RenderNextFrame();

// Makes the plan's calls to the music player and writes what they hand on
// to `out` as 16-bit little-endian samples, high-passed and faded in when
// `dcBlock`, with a progress line counting up to `total` samples. False if
// a write failed.
bool WriteSoundSamples(const SoundPlan& plan, uint64_t total, bool dcBlock, OutputFile& out);
