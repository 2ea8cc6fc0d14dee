// The intro on Linux: an SDL2 window and SDL2 audio around the portable core,
// with the start-up order and the frame cycle of the Windows program.
//
// The window itself behaves as a desktop program is expected to: it opens at
// the largest whole multiple of 640 x 400 that fits the screen, can be resized
// and made fullscreen (F11, Alt+Enter), and always shows the picture at the
// largest whole-number scale that fits, pixel for pixel without blur,
// letterboxed on white. Escape and Alt+F4 close it like the close button.
#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "app/intro.h"
#include "app/platform.h"
#include "app/shell.h"
#include "picture/surfaces.h"
#include "sound/sdl/sdl_sound_device.h"

namespace {

// What the picture doesn't cover shows the window background, white as the
// Windows program's class background (COLOR_WINDOW).
constexpr Uint8 Background = 255;

struct Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int presentBusy = 0;
};

Window Main;

// The largest whole multiple of the picture that fits comfortably on the
// screen (leaving a tenth for panels and the title bar); at least 1.
int FirstScale()
{
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    const int scale = std::min(usable.w * 9 / 10 / PictureWidth, usable.h * 9 / 10 / PictureHeight);
    return std::max(scale, 1);
}

void CreateTexture()
{
    Main.texture = SDL_CreateTexture(Main.renderer, SDL_PIXELFORMAT_RGB888,
                                     SDL_TEXTUREACCESS_STREAMING, PictureWidth, PictureHeight);
    if (Main.texture) SDL_SetTextureScaleMode(Main.texture, SDL_ScaleModeNearest);
}

// Copies the OutputImage row by row into the texture, whose rows may be
// longer than the picture's. The OutputImage itself stays as it is: a
// repaint presents it again.
void UploadPicture()
{
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(Main.texture, nullptr, &pixels, &pitch) != 0) return;
    uint8_t* row = static_cast<uint8_t*>(pixels);
    const uint32_t* source = Screen.OutputImage;
    for (int y = 0; y < PictureHeight; ++y) {
        std::memcpy(row, source, PictureWidth * sizeof(uint32_t));
        row += pitch;
        source += PictureWidth;
    }
    SDL_UnlockTexture(Main.texture);
}

// The picture at the largest whole-number scale that fits the window's real
// pixels, centred. A window smaller than the picture shows its middle at 1x.
SDL_Rect PictureRect()
{
    int width = PictureWidth;
    int height = PictureHeight;
    SDL_GetRendererOutputSize(Main.renderer, &width, &height);
    const int scale = std::max(1, std::min(width / PictureWidth, height / PictureHeight));
    const int w = PictureWidth * scale;
    const int h = PictureHeight * scale;
    return {(width - w) / 2, (height - h) / 2, w, h};
}

int Present()
{
    if (Main.presentBusy) return -1;
    Main.presentBusy = 1;
    if (Main.texture) {
        UploadPicture();
        SDL_SetRenderDrawColor(Main.renderer, Background, Background, Background, 255);
        SDL_RenderClear(Main.renderer);
        const SDL_Rect target = PictureRect();
        SDL_RenderCopy(Main.renderer, Main.texture, nullptr, &target);
        SDL_RenderPresent(Main.renderer);
    }
    --Main.presentBusy;
    return 0;
}

void ToggleFullscreen()
{
    const bool fullscreen = SDL_GetWindowFlags(Main.window) & SDL_WINDOW_FULLSCREEN;
    SDL_SetWindowFullscreen(Main.window, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// The same request the close button makes: the quit event joins the queue
// and the turn that takes it is the last.
void RequestClose()
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void HandleKey(const SDL_KeyboardEvent& key)
{
    if (key.repeat) return;
    const bool alt = key.keysym.mod & KMOD_ALT;
    switch (key.keysym.sym) {
    case SDLK_ESCAPE:
        RequestClose();
        break;
    case SDLK_F4:
        // Alt+F4 closes as on Windows, also where no window manager takes it.
        if (alt) RequestClose();
        break;
    case SDLK_F11:
        ToggleFullscreen();
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (alt) ToggleFullscreen();
        break;
    default:
        break;
    }
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
    case SDL_KEYDOWN:
        HandleKey(event.key);
        return false;
    case SDL_RENDER_DEVICE_RESET:
        // The renderer lost its textures (a driver reset); make the picture's anew.
        SDL_DestroyTexture(Main.texture);
        CreateTexture();
        return false;
    default:
        return false;
    }
}

// The loop takes one event per turn, so events the intro has no use for are
// not queued at all: a moving mouse would otherwise put hundreds of motion
// events a second ahead of a close request.
void IgnoreUnusedEvents()
{
    const Uint32 unused[] = {
        SDL_KEYUP, SDL_TEXTEDITING, SDL_TEXTINPUT, SDL_KEYMAPCHANGED,
        SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEWHEEL,
        SDL_FINGERDOWN, SDL_FINGERUP, SDL_FINGERMOTION,
        SDL_DOLLARGESTURE, SDL_DOLLARRECORD, SDL_MULTIGESTURE,
        SDL_CLIPBOARDUPDATE, SDL_DROPFILE, SDL_DROPTEXT, SDL_DROPBEGIN, SDL_DROPCOMPLETE,
        SDL_SYSWMEVENT, SDL_SENSORUPDATE,
    };
    for (Uint32 type : unused) SDL_EventState(type, SDL_IGNORE);
    SDL_StopTextInput();
}

int RunWindow()
{
    const int scale = FirstScale();
    Main.window = SDL_CreateWindow(WindowTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                   PictureWidth * scale, PictureHeight * scale,
                                   SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    SDL_SetWindowMinimumSize(Main.window, PictureWidth, PictureHeight);
    // As on Windows, the song loads and the sound starts while the window is
    // being created, so a warning about the sound comes before the window.
    OnCreate(Main.window);

    // The renderer is made while the window is still hidden: an OpenGL
    // renderer has SDL replace the window with one of a GL-capable visual,
    // which on a shown window flashes it and can leave SDL waiting forever
    // for the old window's unmap while a window manager is starting.
    // No vsync: the 9 ms sleep paces the frames, so the animation runs at the
    // same speed on every monitor.
    Main.renderer = SDL_CreateRenderer(Main.window, -1, SDL_RENDERER_ACCELERATED);
    if (!Main.renderer) Main.renderer = SDL_CreateRenderer(Main.window, -1, SDL_RENDERER_SOFTWARE);
    CreateTexture();

    SDL_ShowWindow(Main.window);
    Present();   // the still-black picture, as with the first paint on Windows
    InitPicture();

    bool quit = false;
    while (!quit) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) quit = HandleEvent(event);
        FrameStep();
        Present();
    }
    // The window goes before the closing line, as on Windows.
    SDL_DestroyTexture(Main.texture);
    SDL_DestroyRenderer(Main.renderer);
    SDL_DestroyWindow(Main.window);
    Main = Window{};
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
    std::fputs(BannerLine, stdout);
    std::fflush(stdout);
    // A sound server that goes away while it is being written to must not end
    // the program: the write fails instead and the sound device reports itself
    // lost (the sound then tries to come back; the picture runs on).
    std::signal(SIGPIPE, SIG_IGN);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_SetHintWithPriority(SDL_HINT_RENDER_VSYNC, "0", SDL_HINT_OVERRIDE);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "quillmoor: %s\n", SDL_GetError());
        return 1;
    }
    IgnoreUnusedEvents();
    RunWindow();
    const bool soundClosed = SdlSoundShutdown(TheSoundServer());
    std::fputs(ClosingLine, stdout);
    std::fflush(stdout);
    // A sound thread still stuck in a dead device is left to the end of the
    // process; shutting SDL down would wait for it.
    if (soundClosed) SDL_Quit();
    return 0;
}
