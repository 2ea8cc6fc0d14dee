// The intro's start-up order and frame cycle, shared by every front end.
//
// A front end starts the sound while its window is being created
// (OnCreate, through StartIntroSound in intro_run.h), runs InitPicture once
// the window is shown, then FrameStep and presents the OutputImage once per
// turn of its loop; or, in a loop paced by the clock (intro_loop.h), runs
// RunTurn for each turn due and presents once per pass.
#pragma once

#include "base/asset_bytes.h"

class SoundServer;

// Loads the song (SongPath, song_choice.h) and opens the one SoundServer
// with the music player's FillCallback. On failure shows "ERROR: Can't open the SoundServer." and
// returns -1; the intro then runs without sound. Returns 0 when the sound runs.
int OnCreate(void* window);

// The SoundServer OnCreate made (null before OnCreate); never freed.
SoundServer* TheSoundServer();

// One-time picture set-up: palette, lens table, logo, font, the embedded
// resources, and a first conversion of the still empty picture.
int InitPicture();

// InitPicture with the logo and the font handed over as bytes instead of
// read from their files (the tests' own assets).
int InitPictureWith(const AssetBytes& logo, const AssetBytes& glyphTable, const AssetBytes& glyphs);

// Draws one frame into the WorkImage.
int RenderFrame();

// One turn's work: RenderFrame, ConvertFrame, then a 9 ms sleep.
int FrameStep();

// A turn without the sleep, for a loop paced by the clock (intro_loop.h) and
// for programs without a window.
int RunTurn();
