#include "intro_capture.h"

#include "app/intro.h"
#include "music/player.h"
#include "picture/surfaces.h"

void StartSound()
{
    // The intro loads the song while its window is created, then opens the
    // sound; here the capture calls the FillCallback instead.
    LoadSong();
}

void StartIntro()
{
    StartSound();
    InitPicture();
}

void RenderNextFrame()
{
    RenderFrame();
    ConvertFrame();
}
