// The intro without a window: the same start-up and the same frame cycle,
// in the same order, minus the sound device, the 9 ms sleep and the
// presentation.
#pragma once

// The intro's start-up: LoadSong, then InitPicture. Sound alone needs only
// StartSound (the picture set-up never touches the player).
void StartSound();
void StartIntro();

// One frame, as a turn of the intro's loop draws it: RenderFrame, then
// ConvertFrame into Screen.OutputImage.
void RenderNextFrame();
