#include "app/intro.h"

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "app/platform.h"
#include "app/shell.h"
#include "app/song_choice.h"
#include "music/player.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "sound/sound_server.h"

namespace {

SoundServer* Server = nullptr;

}   // namespace

int OnCreate(void* window)
{
    LoadSongFromFile(SongPath());
    // One server for the whole run; a new song opens it again (song_choice.h).
    if (!Server) Server = new SoundServer(window);
    if (Server->Open(&FillCallback)) return 0;
    PlatformShowWarning(SoundWarningCaption, SoundWarningText);
    return -1;
}

SoundServer* TheSoundServer()
{
    return Server;
}

namespace {

// The picture set-up, with the logo and the font taken by `loadAssets` at
// their place in it.
template <typename LoadAssets>
int SetUpPicture(LoadAssets loadAssets)
{
    BuildPalette();
    BuildLensTable();
    loadAssets();
    // The two resources are part of the program's start-up; nothing uses them.
    (void)LoadBinResource(101, nullptr);
    (void)LoadBinResource(102, nullptr);
    ConvertFrame();
    return 0;
}

}   // namespace

int InitPicture()
{
    return SetUpPicture([] {
        InitLogoFromFile(AssetPath(LogoFileName));
        LoadFontFromFiles(AssetPath(FontTableFileName), AssetPath(FontGlyphFileName));
    });
}

int InitPictureWith(const AssetBytes& logo, const AssetBytes& glyphTable, const AssetBytes& glyphs)
{
    return SetUpPicture([&] {
        InitLogo(logo);
        LoadFont(glyphTable, glyphs);
    });
}

int RenderFrame()
{
    RenderEffect();
    ApplyLogo();
    DrawTextPage();
    Effect.FrameCounter += 1.0;
    return 0;
}

int RunTurn()
{
    RenderFrame();
    ConvertFrame();
    return 0;
}

int FrameStep()
{
    RunTurn();
    PlatformSleep(TurnSleepMilliseconds);
    return 0;
}
