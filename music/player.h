// The music player: a register-dump song decoded 50 times a second into a
// three-voice sound chip, synthesised and mixed with echo into 16-bit mono
// samples at 44,100 Hz.
#pragma once

#include <cstdint>

#include "base/asset_bytes.h"

// Takes the song file's bytes (a missing file has size -1), recognises its
// format and prepares the player. Runs once, before the sound thread starts.
void LoadSong(const AssetBytes& song);

// The SoundServer's FillCallback. The first nine calls leave their regions
// as they are; from the tenth on every call writes `bytes` / 2 samples, the
// stream continuing across calls however the regions are cut. Sound thread
// only.
int FillCallback(int16_t* samples, uint32_t bytes);
