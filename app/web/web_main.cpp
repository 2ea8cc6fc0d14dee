// The intro in a web browser: a canvas and Web Audio around the portable
// core, with the start-up order of the desktop programs.
//
// A page can't loop or sleep, so each requestAnimationFrame callback makes
// one pass of app/intro_loop.h's loop: the animation keeps its desktop speed
// at 60, 120 or 144 Hz, presenting once per display frame. The sound device
// (sound/web/) turns the sound thread into a 20 ms timer.
//
// The page (index.html, page.js) shows the first frame under a "click to start" overlay;
// its click calls QuillmoorStart, which starts the sound inside the user
// gesture, as browsers require, and the loop with it. The page also owns the
// layout, fullscreen and the keys, and calls back in for mute and for a song
// the user chose (QuillmoorPlaySong), before the start or after it.
//
// For tests the page can pass "--turns=N": the loop then stops after exactly
// N turns, presents that frame and ends as the desktop program does.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/intro.h"
#include "app/intro_loop.h"
#include "app/intro_run.h"
#include "app/picture_pixels.h"
#include "app/platform.h"
#include "app/song_choice.h"
#include "picture/surfaces.h"
#include "sound/sound_server.h"
#include "sound/web/web_sound_device.h"

namespace {

struct Page {
    // The OutputImage as the canvas wants it: R, G, B, A bytes.
    alignas(16) uint32_t Rgba[PictureWidth * PictureHeight];
    bool started = false;
    bool ended = false;
    bool muted = false;
    IntroLoop loop;   // its turn limit: --turns=N
};

Page Main;

// clang-format off
EM_JS(void, CanvasPut, (const uint8_t* rgba, int width, int height), {
    let put = Module['quillmoorPut'];
    if (!put) {
        const canvas = document.getElementById('picture');
        const context = canvas.getContext('2d', {alpha: false});
        // The program's memory never grows, so one view serves every frame.
        const image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4),
                                    width, height);
        put = Module['quillmoorPut'] = () => context.putImageData(image, 0, 0);
    }
    put();
});

// The browser's own modal box; it has no caption of its own to set.
EM_JS(void, ShowWarningBox, (const char* text), {
    console.warn(UTF8ToString(text));
    window.alert(UTF8ToString(text));
});
// clang-format on

void Present()
{
    ConvertPictureToRgba(Main.Rgba);
    CanvasPut(reinterpret_cast<const uint8_t*>(Main.Rgba), PictureWidth, PictureHeight);
}

double Now()
{
    return emscripten_get_now();
}

// The page's events reach it through its own handlers (page.js).
bool NoEvents()
{
    return false;
}

constexpr FrontEnd Page{Now, NoEvents, Present};

void End()
{
    if (Main.ended) return;
    Main.ended = true;
    EndIntro(SoundStop::BeforeClosingLine);
}

// One display refresh: one pass of the loop.
EM_BOOL Tick(double, void*)
{
    if (Main.ended) return EM_FALSE;
    if (RunPass(Main.loop, Page)) return EM_TRUE;
    End();
    return EM_FALSE;
}

// --turns=N, or no limit.
uint64_t TurnLimitFromArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--turns=", 8) == 0) {
            char* end = nullptr;
            const long value = std::strtol(argv[i] + 8, &end, 10);
            if (end != argv[i] + 8 && *end == '\0' && value >= 0) return static_cast<uint64_t>(value);
        }
    }
    return UINT64_MAX;
}

}   // namespace

void PlatformSleep(uint32_t) {}   // the display's refresh paces the turns

void PlatformShowWarning(const char*, const char* text)
{
    ShowWarningBox(text);   // the text already names the problem; the caption would repeat it
}

extern "C" {

// The click on the overlay: sound first (it must start inside the gesture),
// then the loop. Returns 1 when the sound plays.
EMSCRIPTEN_KEEPALIVE int QuillmoorStart()
{
    if (Main.started) return 0;
    Main.started = true;
    SoundServer* server = TheSoundServer();
    const bool sound = server && server->IsOpen() && WebSoundStart();
    StartLoop(Main.loop, Page);
    emscripten_request_animation_frame_loop(Tick, nullptr);
    return sound;
}

// The page writes a song the user chose (picked, dropped or named by
// ?song=) to /chosen-song in the program's file system, cut to the bytes the
// player reads, and calls this: the song plays from its start, at once when
// the sound plays, and otherwise from the click on the overlay. Where no
// sound could be opened (no Web Audio) the song is only loaded, the picture
// running on in silence as before. 0 when it can't be played (the intro has
// ended, or the file isn't there), the song before playing on.
EMSCRIPTEN_KEEPALIVE int QuillmoorPlaySong()
{
    static const char ChosenSong[] = "/chosen-song";
    if (Main.ended) return 0;
    const SoundServer* server = TheSoundServer();
    const bool silent = !server || !server->IsOpen();
    std::string reason;
    if (SwitchSong(ChosenSong, silent, reason)) return 1;
    std::printf("cannot play the chosen song: %s\n", reason.c_str());
    return 0;
}

EMSCRIPTEN_KEEPALIVE int QuillmoorToggleMute()
{
    Main.muted = !Main.muted;
    WebSoundSetMuted(Main.muted);
    return Main.muted;
}

// The page is going away: the closing line, as when the window closes.
EMSCRIPTEN_KEEPALIVE void QuillmoorClose()
{
    End();
}

// Figures for tests and the curious: turns run, whether the loop has ended,
// and the mean milliseconds per turn and per present.
EMSCRIPTEN_KEEPALIVE double QuillmoorTurns()
{
    return static_cast<double>(Main.loop.turns);
}

EMSCRIPTEN_KEEPALIVE int QuillmoorEnded()
{
    return Main.ended;
}

EMSCRIPTEN_KEEPALIVE double QuillmoorTurnMilliseconds()
{
    return Main.loop.turns ? Main.loop.turnMilliseconds / static_cast<double>(Main.loop.turns) : 0.0;
}

EMSCRIPTEN_KEEPALIVE double QuillmoorPresentMilliseconds()
{
    return Main.loop.presents ? Main.loop.presentMilliseconds / static_cast<double>(Main.loop.presents) : 0.0;
}

EMSCRIPTEN_KEEPALIVE double QuillmoorSoundBytesPlayed()
{
    return static_cast<double>(WebSoundConsumedBytes());
}

}   // extern "C"

int main(int argc, char** argv)
{
    AnnounceIntro();
    Main.loop.turnLimit = TurnLimitFromArguments(argc, argv);

    // The canvas stands in for the window; the song loads and the sound
    // server opens here, before the picture is set up.
    static const char CanvasSelector[] = "#picture";
    StartIntroSound(const_cast<char*>(CanvasSelector), false);
    InitPicture();

    // The first frame, shown under the page's overlay until the click.
    if (Main.loop.turnLimit != 0) {
        RunTurn();
        ++Main.loop.turns;
    }
    Present();
    if (Main.loop.turns >= Main.loop.turnLimit) End();
    return 0;   // the runtime lives on: the page calls QuillmoorStart
}
