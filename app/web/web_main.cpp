// The intro in a web browser: a canvas and Web Audio around the portable
// core, with the start-up order of the desktop programs.
//
// A page can't loop or sleep, so the run is app/intro_run.h's stepped one:
// each requestAnimationFrame callback makes one pass of app/paced_loop.h's loop: the animation keeps its desktop speed
// at 60, 120 or 144 Hz, presenting once per display frame. The sound device
// (sound/web/) turns the sound thread into a 20 ms timer.
//
// The page (index.html, page.js) shows the first frame under a "click to start" overlay;
// its click calls QuillmoorStart, which starts the sound inside the user
// gesture, as browsers require, and the loop with it. The page also owns the
// layout, fullscreen and the keys, and calls back in for mute and for a piece
// the user chose, before the start or after it (page_pieces.h). A text page
// or a logo named in the page's address comes as "--text=FILE" or
// "--logo=FILE" and is drawn from the first frame.
//
// The page plays the sound on the audio thread where the browser can
// (app/web/sound_worklet.js) and passes "--sound=worklet": the program then
// makes no sound. Elsewhere it plays through the web sound device.
//
// For tests the page can pass "--turns=N": the loop then stops after exactly
// N turns, presents that frame and ends as the desktop program does.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>
#include <cstring>

#include "app/intro_run.h"
#include "app/picture_pixels.h"
#include "app/sound_session.h"
#include "app/web/page_pieces.h"
#include "base/stream_format.h"
#include "picture/surfaces.h"
#include "sound/web/web_sound_device.h"

namespace {

struct Page {
    // The OutputImage as the canvas wants it: R, G, B, A bytes.
    alignas(16) uint32_t Rgba[PictureWidth * PictureHeight];
    bool started = false;
    PacedLoop loop;        // its turn limit: --turns=N
    uintptr_t loops = 0;   // the animation frame loop that runs; any other ends
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

// The canvas stands in for the window.
void* Canvas()
{
    static const char CanvasSelector[] = "#picture";
    return const_cast<char*>(CanvasSelector);
}

void ShowWarning(const char*, const char* text)
{
    ShowWarningBox(text);   // the text already names the problem; the caption would repeat it
}

// The page's own front end. Where the page plays the sound on the audio
// thread itself (sound_worklet.js, "--sound=worklet"), the program makes
// none: it keeps the session's song and mute for the page to ask.
FrontEnd Page{
    .now = Now,
    .takeEvents = NoEvents,
    .present = Present,
    .openWindow = Canvas,
    .showWarning = ShowWarning,
    .soundDevice = &WebSoundDevice,
    .soundStop = SoundStop::BeforeClosingLine,
};

// One display refresh: one pass of the loop.
EM_BOOL Tick(double, void* loop)
{
    if (reinterpret_cast<uintptr_t>(loop) != Main.loops) return EM_FALSE;
    return StepIntro(Main.loop) ? EM_TRUE : EM_FALSE;
}

bool SoundOnAudioThread(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--sound=worklet") == 0) return true;
    return false;
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

extern "C" {

// The click on the overlay: sound first (it must start inside the gesture),
// then the loop. Returns 1 when the sound plays.
EMSCRIPTEN_KEEPALIVE int QuillmoorStart()
{
    if (Main.started) return 0;
    Main.started = true;
    const bool sound = SoundPlays() && WebSoundStart();
    if (sound && SoundMuted()) SetSoundMuted(true);   // a new context after QuillmoorReopen
    StartLoop(Main.loop, Page);
    emscripten_request_animation_frame_loop(Tick, reinterpret_cast<void*>(++Main.loops));
    return sound;
}

// The page is back from the browser's back-forward cache, closed as it was
// left: the intro opens again and waits for the click on the overlay, which
// starts its sound (the song from its start) and its picture (from the
// frame it showed) as the first did. 0 when the loop had ended (--turns).
EMSCRIPTEN_KEEPALIVE int QuillmoorReopen()
{
    if (!IntroClosed() || Main.loop.turns >= Main.loop.turnLimit) return 0;
    ReopenIntro();
    Main.started = false;
    ++Main.loops;   // a loop left running stops at its next frame
    return 1;
}

EMSCRIPTEN_KEEPALIVE int QuillmoorToggleMute()
{
    SetSoundMuted(!SoundMuted());
    return SoundMuted();
}

// The page is going away: the closing line, as when the window closes.
EMSCRIPTEN_KEEPALIVE void QuillmoorClose()
{
    CloseIntro();
}

// Figures for tests and the curious: turns run, presents made, whether the
// loop has ended, and the mean milliseconds per turn and per present.
EMSCRIPTEN_KEEPALIVE double QuillmoorTurns()
{
    return static_cast<double>(Main.loop.turns);
}

EMSCRIPTEN_KEEPALIVE double QuillmoorPresents()
{
    return static_cast<double>(Main.loop.presents);
}

EMSCRIPTEN_KEEPALIVE int QuillmoorEnded()
{
    return IntroClosed();
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
    Main.loop.turnLimit = TurnLimitFromArguments(argc, argv);
    if (SoundOnAudioThread(argc, argv)) Page.soundDevice = nullptr;
    TakeNamedPieces(argc, argv);
    // The first frame, shown under the page's overlay until the click.
    StartSteppedIntro(Page, Main.loop);
    return 0;   // the runtime lives on: the page calls QuillmoorStart
}
