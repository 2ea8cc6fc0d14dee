// The intro in a web browser: a canvas and Web Audio around the portable
// core, with the start-up order of the desktop programs.
//
// A page can't loop or sleep, so the main loop becomes a requestAnimationFrame
// callback. On the desktop a turn lasts about 9.5 ms (the 9 ms sleep plus the
// drawing); each display refresh here runs as many turns as the time since the
// last one holds at that pace, at most four, and then presents once, so the
// animation keeps its desktop speed at 60, 120 or 144 Hz. The sound device
// (sound/web/) turns the sound thread into a 20 ms timer.
//
// The page (index.html, page.js) shows the first frame under a "click to start" overlay;
// its click calls QuillmoorStart, which starts the sound inside the user
// gesture, as browsers require, and the loop with it. The page also owns the
// layout, fullscreen and the keys, and calls back in for mute.
//
// For tests the page can pass "--turns=N": the loop then stops after exactly
// N turns, presents that frame and ends as the desktop program does.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/intro.h"
#include "app/platform.h"
#include "app/shell.h"
#include "app/turn_pacer.h"
#include "picture/surfaces.h"
#include "sound/sound_server.h"
#include "sound/web/web_sound_device.h"

namespace {

constexpr int MostTurnsPerTick = 4;

struct Page {
    // The OutputImage as the canvas wants it: R, G, B, A bytes.
    alignas(16) uint32_t Rgba[PictureWidth * PictureHeight];
    int presentBusy = 0;
    bool started = false;
    bool ended = false;
    bool muted = false;
    long turnLimit = -1;   // --turns=N; -1 runs for ever
    long turns = 0;
    TurnPacer pacer;
    // Where the time goes, for the page's statistics.
    long ticksWithTurns = 0;
    double turnMilliseconds = 0.0;      // inside FrameStep
    double presentMilliseconds = 0.0;   // conversion to RGBA and the canvas
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

// 0x00RRGGBB words to R, G, B, 255 bytes (the canvas's order, little-endian).
void ConvertToRgba()
{
    const uint32_t* source = Screen.OutputImage;
    for (int i = 0; i < PictureWidth * PictureHeight; ++i) {
        const uint32_t pixel = source[i];
        Main.Rgba[i] = 0xFF000000u | (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
    }
}

int Present()
{
    if (Main.presentBusy) return -1;
    Main.presentBusy = 1;
    ConvertToRgba();
    CanvasPut(reinterpret_cast<const uint8_t*>(Main.Rgba), PictureWidth, PictureHeight);
    --Main.presentBusy;
    return 0;
}

void TimedTurn()
{
    const double start = emscripten_get_now();
    FrameStep();
    Main.turnMilliseconds += emscripten_get_now() - start;
    ++Main.turns;
}

void End()
{
    if (Main.ended) return;
    Main.ended = true;
    WebSoundStop();
    std::fputs(ClosingLine, stdout);
    std::fflush(stdout);
}

// One display refresh: the turns the elapsed time holds, then one present.
EM_BOOL Tick(double now, void*)
{
    if (Main.ended) return EM_FALSE;
    // Back from a hidden tab or a long stall, the lost time is skipped
    // rather than raced through.
    int turns = TurnsDue(Main.pacer, now, MostTurnsPerTick);
    if (Main.turnLimit >= 0 && turns > Main.turnLimit - Main.turns)
        turns = static_cast<int>(Main.turnLimit - Main.turns);

    if (turns > 0) {
        for (int i = 0; i < turns; ++i) TimedTurn();
        const double start = emscripten_get_now();
        Present();
        Main.presentMilliseconds += emscripten_get_now() - start;
        ++Main.ticksWithTurns;
    }
    if (Main.turnLimit >= 0 && Main.turns >= Main.turnLimit) {
        End();
        return EM_FALSE;
    }
    return EM_TRUE;
}

long TurnLimitFromArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--turns=", 8) == 0) {
            char* end = nullptr;
            const long value = std::strtol(argv[i] + 8, &end, 10);
            if (end != argv[i] + 8 && *end == '\0' && value >= 0) return value;
        }
    }
    return -1;
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
    const bool sound = server && server->running && WebSoundStart();
    emscripten_request_animation_frame_loop(Tick, nullptr);
    return sound;
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
    return static_cast<double>(Main.turns);
}

EMSCRIPTEN_KEEPALIVE int QuillmoorEnded()
{
    return Main.ended;
}

EMSCRIPTEN_KEEPALIVE double QuillmoorTurnMilliseconds()
{
    return Main.turns ? Main.turnMilliseconds / static_cast<double>(Main.turns) : 0.0;
}

EMSCRIPTEN_KEEPALIVE double QuillmoorPresentMilliseconds()
{
    return Main.ticksWithTurns ? Main.presentMilliseconds / static_cast<double>(Main.ticksWithTurns) : 0.0;
}

EMSCRIPTEN_KEEPALIVE double QuillmoorSoundBytesPlayed()
{
    return static_cast<double>(WebSoundConsumedBytes());
}

}   // extern "C"

int main(int argc, char** argv)
{
    std::fputs(BannerLine, stdout);
    std::fflush(stdout);
    Main.turnLimit = TurnLimitFromArguments(argc, argv);

    // The canvas stands in for the window; the song loads and the sound
    // server opens here, before the picture is set up.
    static const char CanvasSelector[] = "#picture";
    OnCreate(const_cast<char*>(CanvasSelector));
    InitPicture();

    // The first frame, shown under the page's overlay until the click.
    if (Main.turnLimit != 0) TimedTurn();
    Present();
    if (Main.turnLimit >= 0 && Main.turns >= Main.turnLimit) End();
    return 0;   // the runtime lives on: the page calls QuillmoorStart
}
