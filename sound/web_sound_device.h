// Extras of the Web Audio sound device that only the browser front end uses.
#pragma once

#include <cstdint>

// Starts the ring playing through Web Audio. Browsers let a page make sound
// only from inside a user gesture, so the front end calls this from its click
// handler; until then the ring stands still at its first byte. False when the
// ring was never opened or the browser refused an audio context.
bool WebSoundStart();

// Closes the audio output for good: the intro has ended.
void WebSoundStop();

// Mutes or unmutes the output. The ring plays on either way, so the music
// keeps its time.
void WebSoundSetMuted(bool muted);

// Bytes the browser has taken from the ring since WebSoundStart. The play
// cursor moves in steps of one audio callback (1024 samples), not smoothly
// as a sound card's does, so a refill that comes before the next step would
// find it where the last refill left it: the ring logic takes that for a
// whole lap. The front end compares this count to skip such refills.
uint32_t WebSoundConsumedBytes();
