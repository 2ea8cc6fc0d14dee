// The picture's part of the intro: its one-time set-up and each turn's frame.
// The run (intro_run.h) calls these at their place in the start-up and the
// loop; the capture tool, the tests and the benchmarks call them directly.
#pragma once

#include "base/asset_bytes.h"

// One-time picture set-up: palette, lens table, logo, font, the embedded
// resources, and a first conversion of the still empty picture.
int InitPicture();

// InitPicture with the logo and the font handed over as bytes instead of
// read from their files (the tests' own assets).
int InitPictureWith(const AssetBytes& logo, const AssetBytes& glyphTable, const AssetBytes& glyphs);

// Draws one frame into the WorkImage.
int RenderFrame();

// A turn's work without the sleep: RenderFrame, then ConvertFrame. A loop
// paced by the clock (paced_loop.h) and programs without a window run it.
int RunTurn();
