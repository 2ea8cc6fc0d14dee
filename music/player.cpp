// PLACEHOLDER until the music player lands.
#include "music/player.h"

void LoadSong() {}
int FillCallback(int16_t*, uint32_t) { return 0; }
