#include "app/frame_cycle.h"

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"

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
