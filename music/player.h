// The music player: a register-dump song decoded 50 times a second into a
// three-voice sound chip, synthesised and mixed with echo into 16-bit mono
// samples at 44,100 Hz.
#pragma once

#include <cstdint>

// Reads "ZEB_27.DMP" from the current directory and prepares the player.
// Runs once, before the sound thread starts.
void LoadSong();

// The SoundServer's FillCallback: writes `bytes` / 2 samples. Sound thread only.
int FillCallback(int16_t* samples, uint32_t bytes);
