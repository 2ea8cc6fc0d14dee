// The intro on Linux: an SDL2 window and SDL2 audio around the portable core,
// with the start-up order and the frame cycle of the Windows program.
#include <SDL.h>

#include <cstdio>

#include "app/intro.h"
#include "app/platform.h"
#include "picture/surfaces.h"
#include "sound/sdl_sound_device.h"

namespace {

const char* const Title = "Quillmoor-2014";

struct Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;   // taken once the window is shown
    SDL_Texture* texture = nullptr;
    int presentBusy = 0;
};

Window Main;

int Present()
{
    if (Main.presentBusy) return -1;
    Main.presentBusy = 1;
    if (Main.texture) {
        SDL_UpdateTexture(Main.texture, nullptr, Screen.OutputImage, PictureWidth * 4);
        // What the picture doesn't cover shows the window background (white).
        SDL_SetRenderDrawColor(Main.renderer, 255, 255, 255, 255);
        SDL_RenderClear(Main.renderer);
        const SDL_Rect target = {0, 0, PictureWidth, PictureHeight};
        SDL_RenderCopy(Main.renderer, Main.texture, nullptr, &target);
        SDL_RenderPresent(Main.renderer);
    }
    --Main.presentBusy;
    return 0;
}

// Handles one event; true when it asks the loop to end after this turn.
bool HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) Present();
        return false;
    default:
        return false;
    }
}

int RunWindow()
{
    Main.window = SDL_CreateWindow(Title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                   PictureWidth, PictureHeight, SDL_WINDOW_HIDDEN);
    // As on Windows, the song loads and the sound starts while the window is
    // being created, so a warning about the sound comes before the window.
    OnCreate(Main.window);

    SDL_ShowWindow(Main.window);
    Present();   // nothing to draw on yet, as with the first paint on Windows

    Main.renderer = SDL_CreateRenderer(Main.window, -1, 0);   // no vsync: the 9 ms sleep paces
    if (!Main.renderer) Main.renderer = SDL_CreateRenderer(Main.window, -1, SDL_RENDERER_SOFTWARE);
    Main.texture = SDL_CreateTexture(Main.renderer, SDL_PIXELFORMAT_RGB888,
                                     SDL_TEXTUREACCESS_STREAMING, PictureWidth, PictureHeight);
    InitPicture();

    bool quit = false;
    while (!quit) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) quit = HandleEvent(event);
        FrameStep();
        Present();
    }
    return 0;
}

} // namespace

void PlatformSleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
}

void PlatformShowWarning(const char* caption, const char* text)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);   // no display to show it on
}

int main(int, char**)
{
    std::printf("\nQuillmoor & #plinthcrew - Cloudparcel - Volume #1\n");
    std::fflush(stdout);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "quillmoor: %s\n", SDL_GetError());
        return 1;
    }
    RunWindow();
    SdlSoundShutdown();
    std::printf("\n\nWinStreamer successfully closed.\n\n");
    std::fflush(stdout);
    SDL_Quit();
    return 0;
}
