// The logo: brightens the picture under its non-zero pixels by 16 palette
// steps, folding back down at the top of the range instead of saturating.
//
// InitLogo reads the logo bitmap once and turns it into the LogoMask (16
// under the logo, 0 elsewhere); ApplyLogo passes every visible pixel through
// the FoldTable at (pixel + mask).
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/asset_bytes.h"
#include "picture/surfaces.h"

// The logo file: 632 x 246, 8 bits per pixel, bottom-up, pixel rows from
// byte 1078. No header field is read.
constexpr int LogoWidth = 632;
constexpr int LogoHeight = 246;
constexpr int LogoPixelOffset = 1078;
constexpr int LogoLeft = 4;   // picture column of the logo's left edge
constexpr int LogoTop = 77;   // picture row of the logo's top edge

struct LogoState {
    alignas(64) uint8_t LogoFileBuffer[256000] = {};
    size_t fileBytesHeld = 0;                                          // the buffer is zero from here on
    alignas(64) uint8_t LogoMask[PictureWidth * PictureHeight] = {};   // one byte per visible pixel
    // Two rising and two falling ramps over 0..255; only the low byte counts.
    alignas(64) int32_t FoldTable[1024] = {};
};

extern LogoState Logo;

// Back to the state at process start (no logo read, tables empty), in place.
void ResetLogo();

// Takes the logo file's bytes (which may lie in the LogoFileBuffer already,
// read there), builds the LogoMask and the FoldTable, then the text page's
// RecolourTable.
void InitLogo(const AssetBytes& logo);
void ApplyLogo();
