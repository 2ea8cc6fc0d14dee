#include "app/intro.h"

#include "app/asset_files.h"
#include "app/platform.h"
#include "music/player.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "sound/sound_server.h"

namespace {
SoundServer* Server = nullptr;
}

int OnCreate(void* window)
{
    LoadSong();
    Server = new SoundServer(window);
    if (Server->Open(&FillCallback)) return 0;
    PlatformShowWarning("ERROR", "ERROR: Can't open the SoundServer.");
    return -1;
}

SoundServer* TheSoundServer()
{
    return Server;
}

int InitPicture()
{
    BuildPalette();
    BuildLensTable();
    InitLogo();
    LoadFont();
    // Loaded as the original did, and not used.
    (void)LoadBinResource(101, nullptr);
    (void)LoadBinResource(102, nullptr);
    ConvertFrame();
    return 0;
}

int RenderFrame()
{
    RenderEffect();
    ApplyLogo();
    DrawTextPage();
    Effect.FrameCounter += 1.0;
    return 0;
}

int FrameStep()
{
    RenderFrame();
    ConvertFrame();
    PlatformSleep(9);
    return 0;
}
