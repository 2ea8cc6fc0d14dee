// Extras of the Web Audio sound device that only the browser front end uses.
#pragma once

#include <cstdint>

// Starts the ring playing through Web Audio and the refills with it. Browsers
// let a page make sound only from inside a user gesture, so the front end
// calls this from its click handler; until then the ring stands still at its
// first byte and nothing is refilled. False when the ring was never opened
// or the browser refused an audio context. A ring opened again after this
// (another song) plays at once, through the same context.
bool WebSoundStart();

// Mutes or unmutes the output. The ring plays on either way, so the music
// keeps its time.
void WebSoundSetMuted(bool muted);

// Bytes the browser has taken from the current ring since it opened (the
// current song's start).
uint32_t WebSoundConsumedBytes();
