// The intro on Linux: an SDL2 window and SDL2 audio around the portable core,
// with the start-up order of the Windows program.
//
// The window itself behaves as a desktop program is expected to: it opens at
// the largest whole multiple of 640 x 400 that fits the screen (or --scale),
// never smaller than 640 x 400, can be resized and made fullscreen (F11,
// Alt+Enter, --fullscreen), and always shows the picture at the largest
// whole-number scale that fits, pixel for pixel without blur, letterboxed on
// white in a window and on black, without the pointer, in fullscreen. Escape
// and Alt+F4 close it like the close button; SIGTERM and SIGINT end it too.
// A file dropped on the window is taken by its kind (app/live_assets.h): a
// register dump is played from its start in place of the song before, a
// logo, a font file or a text page drawn from the next frame. With --watch
// the files the intro reads are followed (app/posix/followed_files.h) and taken
// anew as they are saved.
//
// The run is app/intro_run.h's and its loop app/paced_loop.h's, presenting
// no more often than the display mode's refresh rate; this file supplies the
// window, its events and its presentation.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/asset_folders.h"
#include "app/chosen_files.h"
#include "app/intro_run.h"
#include "app/picture_fit.h"
#include "app/picture_pixels.h"
#include "app/posix/followed_files.h"
#include "app/posix/signals.h"
#include "app/sdl/sdl_command_line.h"
#include "app/sdl/sdl_renderer.h"
#include "app/shell.h"
#include "app/sound_session.h"
#include "app/text_choice.h"
#include "base/error_report.h"
#include "picture/surfaces.h"
#include "sound/sdl/sdl_sound_device.h"

namespace {

// What the picture doesn't cover shows the window background, white as the
// Windows program's class background (COLOR_WINDOW); a fullscreen picture
// sits on black, as a film does.
constexpr Uint8 WindowBackground = 255;
constexpr Uint8 FullscreenBackground = 0;

struct Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
};

Window Main;
Options Chosen;   // the command line

bool IsFullscreen()
{
    return SDL_GetWindowFlags(Main.window) & SDL_WINDOW_FULLSCREEN;
}

// The scale asked for, or else the largest that fits comfortably on the screen.
int FirstScale(int asked)
{
    SDL_Rect usable;
    if (asked > 0 || SDL_GetDisplayUsableBounds(0, &usable) != 0) return std::max(asked, 1);
    return FirstWindowScale(usable.w, usable.h);
}

void CreateTexture()
{
    Main.texture = SDL_CreateTexture(Main.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, PictureWidth,
                                     PictureHeight);
    if (Main.texture) SDL_SetTextureScaleMode(Main.texture, SDL_ScaleModeNearest);
}

// The texture's rows may be longer than the picture's.
void UploadPicture()
{
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(Main.texture, nullptr, &pixels, &pitch) != 0) return;
    CopyPictureRows(static_cast<uint8_t*>(pixels), pitch);
    SDL_UnlockTexture(Main.texture);
}

// The picture fitted to the window's real pixels.
SDL_Rect PictureRect(int width, int height)
{
    const PicturePlace place = FitPicture(width, height);
    return {place.x, place.y, place.width, place.height};
}

void Present()
{
    if (!Main.texture) return;
    UploadPicture();
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(Main.renderer, &width, &height);
    const SDL_Rect target = PictureRect(width, height);
    // Only a window the picture does not cover has a background to draw:
    // on a renderer without a graphics card, clearing costs as much as the picture.
    if (target.w != width || target.h != height) {
        const Uint8 background = IsFullscreen() ? FullscreenBackground : WindowBackground;
        SDL_SetRenderDrawColor(Main.renderer, background, background, background, 255);
        SDL_RenderClear(Main.renderer);
    }
    SDL_RenderCopy(Main.renderer, Main.texture, nullptr, &target);
    SDL_RenderPresent(Main.renderer);
}

void ToggleFullscreen()
{
    const bool fullscreen = !IsFullscreen();
    SDL_SetWindowFullscreen(Main.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);
}

// A window manager keeps the window at least 640 x 400 from the size hints;
// without one, a window made smaller from outside is put back at once.
void KeepMinimumSize()
{
    if (IsFullscreen()) return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(Main.window, &width, &height);
    if (width < PictureWidth || height < PictureHeight)
        SDL_SetWindowSize(Main.window, std::max(width, PictureWidth), std::max(height, PictureHeight));
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
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) KeepMinimumSize();
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) Present();
        return false;
    case SDL_KEYDOWN:
        HandleKey(event.key);
        return false;
    case SDL_DROPBEGIN:
        BeginDrop();
        return false;
    case SDL_DROPFILE:
        DropFile(event.drop.file);
        SDL_free(event.drop.file);
        return false;
    case SDL_DROPCOMPLETE:   // taken, so that SDL begins the next drop anew
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

// Events the intro has no use for are not queued at all.
void IgnoreUnusedEvents()
{
    const Uint32 unused[] = {
        SDL_KEYUP,           SDL_TEXTEDITING,   SDL_TEXTINPUT,    SDL_KEYMAPCHANGED, SDL_MOUSEMOTION,
        SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEWHEEL,   SDL_FINGERDOWN,    SDL_FINGERUP,
        SDL_FINGERMOTION,    SDL_DOLLARGESTURE, SDL_DOLLARRECORD, SDL_MULTIGESTURE,  SDL_CLIPBOARDUPDATE,
        SDL_DROPTEXT,        SDL_SYSWMEVENT,    SDL_SENSORUPDATE,
    };
    for (Uint32 type : unused) SDL_EventState(type, SDL_IGNORE);
    SDL_StopTextInput();
}

double NowMilliseconds()
{
    return static_cast<double>(SDL_GetPerformanceCounter()) * 1000.0 /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

void Sleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
}

// Handles every queued event; true when the loop is to end (a close
// request, or SIGTERM or SIGINT).
bool TakeEvents()
{
    TakeFollowedChanges(NowMilliseconds());
    bool quit = EndSignalled();
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (HandleEvent(event)) quit = true;
    return quit;
}

// The display mode's refresh rate, 0 where the system does not say.
int RefreshRate()
{
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(Main.window);
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

void CloseWindow()
{
    SDL_DestroyTexture(Main.texture);
    SDL_DestroyRenderer(Main.renderer);
    SDL_DestroyWindow(Main.window);
    Main = Window{};
}

// SDL falls back to a display-less video driver when there is no display;
// the intro would then run unseen. Only a driver asked for by name may be one.
bool HasDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (std::getenv("SDL_VIDEODRIVER")) return true;
    return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

// The window, hidden, with its renderer and texture; null (after saying
// why) when there is no display or it can't be made.
void* OpenWindow()
{
    CatchSignals();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");   // ours end the intro at any moment
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        ReportError(SDL_GetError());
        return nullptr;
    }
    if (!HasDisplay()) {
        ReportError("no display: set DISPLAY (X11) or WAYLAND_DISPLAY (Wayland)");
        return nullptr;
    }
    char* base = SDL_GetBasePath();   // the executable's folder
    FindAssetFiles(Chosen.assets, base ? base : ".");
    SDL_free(base);
    if (Chosen.watch) StartFollowingFiles(Chosen.text);
    IgnoreUnusedEvents();

    const int scale = FirstScale(Chosen.scale);
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (Chosen.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    Main.window = SDL_CreateWindow(WindowTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, PictureWidth * scale,
                                   PictureHeight * scale, flags);
    if (!Main.window) {
        ReportError(std::string("can't make the window: ") + SDL_GetError());
        return nullptr;
    }
    SDL_SetWindowMinimumSize(Main.window, PictureWidth, PictureHeight);

    Main.renderer = MakeRenderer(Main.window);
    if (Main.renderer) CreateTexture();
    if (!Main.texture) {
        ReportError(std::string("can't draw in the window: ") + SDL_GetError());
        CloseWindow();
        return nullptr;
    }
    // The sound starts once this returns, not before: SDL's hints are one
    // unlocked list that an audio thread reads as it starts (and the sound
    // thread starts one whenever it reopens an output), while making a
    // software renderer sets a hint.
    return Main.window;
}

void ShowWindow()
{
    SDL_ShowWindow(Main.window);
    if (Chosen.fullscreen) SDL_ShowCursor(SDL_DISABLE);
    Present();   // the still-black picture, as with the first paint on Windows
    LetLoopTakeEndSignals();
}

// A warning never stops the intro: it goes to stderr, once, and the intro
// runs on.
void ShowWarning(const char*, const char* text)
{
    ReportWarning(text);
}

constexpr FrontEnd Sdl{
    .now = NowMilliseconds,
    .takeEvents = TakeEvents,
    .present = Present,
    .sleep = Sleep,
    .refreshHz = RefreshRate,
    .openWindow = OpenWindow,
    .showWindow = ShowWindow,
    .closeWindow = CloseWindow,
    .showWarning = ShowWarning,
    .soundDevice = &SdlSoundDevice,
    // The music fades out as the window goes, then the closing line.
    .soundStop = SoundStop::BeforeClosingLine,
};

}   // namespace

int main(int argc, char** argv)
{
    SetProgramName("quillmoor");
    Options& options = Chosen;
    const int parsed = ParseCommandLine(argc, argv, options);
    if (parsed >= 0) return parsed;
    if (!TakeNamedPaths(options.assets, options.song)) return ExitFailure;   // said before any window
    if (!TakeNamedTextPage(options.text)) return ExitFailure;

    FrontEnd sdl = Sdl;
    if (options.mute) sdl.soundDevice = nullptr;   // muted, no sound device is opened at all
    const int code = RunIntro(sdl);
    // A sound thread still stuck in a dead device is left to the end of the
    // process; shutting SDL down would wait for it.
    if (!SoundLeftRunning()) SDL_Quit();
    return code == 0 ? 0 : ExitFailure;
}
