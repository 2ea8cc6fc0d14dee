// The OutputImage handed over in the layout a front end's own pixel store
// wants. The OutputImage itself stays as it is: a repaint presents it again.
#pragma once

#include <cstdint>

// Copies the picture's rows of 0x00RRGGBB words into a store whose rows
// start `pitch` bytes apart (at least a picture row's 2,560 bytes); the
// bytes past each row's end are left as they are.
void CopyPictureRows(uint8_t* rows, int pitch);

// The picture as R, G, B, 255 bytes, a canvas's order, into `rgba` (one
// word a pixel, the picture's size).
void ConvertPictureToRgba(uint32_t* rgba);
