// The register-dump song: loading, format recognition and the decoding of
// one frame per tick of the sample clock.
//
// Two encodings: raw 14-byte frames from offset 0, or "YMDX" delta frames
// (a 2-byte change mask and one byte per changed register) after a 32-byte
// header. Both loop: a raw song starts again at offset 0 and a delta song at
// its first frame once the read position reaches the song's size. Bytes past
// the loaded data read as zero, so no frame ever reads outside the buffer.
#pragma once

#include <cstdint>

#include "base/asset_bytes.h"

// Takes the song file's bytes into the song buffer and recognises its
// format: the read position is at the first frame.
void ReadSong(const AssetBytes& song);

// Decodes one frame into the chip registers and voices.
void DecodeFrame();
