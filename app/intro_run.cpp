#include "app/intro_run.h"

#include <cstdio>

#include "app/frame_cycle.h"
#include "app/shell.h"
#include "app/sound_session.h"

namespace {

struct Run {
    FrontEnd frontEnd;
    bool closed = false;
};

Run Intro;

// Flushed at once: the console may be a pipe, and each line belongs where
// it stands in the run (the banner before the window, the closing line
// after it).
void PrintLine(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

void ShowWarning(const char* caption, const char* text)
{
    if (Intro.frontEnd.showWarning)
        Intro.frontEnd.showWarning(caption, text);
    else
        std::fprintf(stderr, "%s\n", text);
}

}   // namespace

void BeginIntro(const FrontEnd& frontEnd)
{
    Intro = Run{frontEnd};
    UseSoundDevice(frontEnd.soundDevice);
    PrintLine(BannerLine);
}

int OnCreate(void* window)
{
    bool deviceFailed = false;
    const int started = StartSound(window, &deviceFailed);
    if (deviceFailed) ShowWarning(SoundWarningCaption, SoundWarningText);
    return started;
}

int FrameStep()
{
    RunTurn();
    if (Intro.frontEnd.sleep) Intro.frontEnd.sleep(TurnSleepMilliseconds);
    return 0;
}

bool CloseIntro()
{
    if (Intro.closed) return true;
    Intro.closed = true;
    bool stopped = true;
    if (Intro.frontEnd.soundStop == SoundStop::BeforeClosingLine) stopped = StopSound();
    PrintLine(ClosingLine);
    if (Intro.frontEnd.soundStop == SoundStop::AfterClosingLine) stopped = StopSound();
    return stopped;
}

void ReopenIntro()
{
    if (!Intro.closed) return;
    Intro.closed = false;
    RestartSound();
}

bool IntroClosed()
{
    return Intro.closed;
}

int RunIntro(const FrontEnd& frontEnd)
{
    BeginIntro(frontEnd);
    void* window = frontEnd.openWindow ? frontEnd.openWindow() : nullptr;
    if (frontEnd.openWindow && !window) return 1;
    // As on Windows, the sound starts while the window is being created, so
    // a warning about the sound comes before the window is shown.
    OnCreate(window);
    if (frontEnd.showWindow) frontEnd.showWindow();
    InitPicture();

    PacedLoop loop;
    loop.presentInterval = PresentIntervalFor(frontEnd.refreshHz ? frontEnd.refreshHz() : 0);
    RunPacedLoop(loop, frontEnd);
    // The window goes before the closing line, as on Windows.
    if (frontEnd.closeWindow) frontEnd.closeWindow();
    CloseIntro();
    return 0;
}

void StartSteppedIntro(const FrontEnd& frontEnd, PacedLoop& loop)
{
    BeginIntro(frontEnd);
    OnCreate(frontEnd.openWindow ? frontEnd.openWindow() : nullptr);
    InitPicture();
    // The first frame, shown until the loop starts.
    if (loop.turnLimit != 0) {
        loop.turn();
        ++loop.turns;
    }
    frontEnd.present();
    if (loop.turns >= loop.turnLimit) CloseIntro();
}

bool StepIntro(PacedLoop& loop)
{
    if (Intro.closed) return false;
    if (RunPass(loop, Intro.frontEnd)) return true;
    CloseIntro();
    return false;
}
