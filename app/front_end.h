// What a front end supplies to the run (intro_run.h): its window, taking
// events, presenting, the clock, sleeping, showing a warning, its sound
// device, and where the sound stops relative to the closing line. A front
// end fills in what it has; the run uses nothing else of the platform.
#pragma once

#include <cstdint>

struct SoundDeviceOps;

// Where the sound stops relative to the closing line: the desktop programs
// on SDL and the web page fade the music out while their window goes, then
// print it; the Windows program prints it as its window goes and then stops
// the sound, so the line is never held up by a device that doesn't answer.
enum class SoundStop { BeforeClosingLine, AfterClosingLine };

struct FrontEnd {
    // The loop's (paced_loop.h).
    double (*now)() = nullptr;                        // milliseconds from any fixed origin
    bool (*takeEvents)() = nullptr;                   // handles what is pending; true when the intro is to end
    void (*present)() = nullptr;                      // shows the OutputImage
    void (*sleep)(uint32_t milliseconds) = nullptr;   // null: nothing waits
    int (*refreshHz)() = nullptr;                     // the display's rate, 0 where unknown; null: unknown

    // The window's life, for RunIntro. openWindow makes it, still hidden, and
    // returns what the sound device takes as its window (null: it could not
    // be made, and openWindow has said why); showWindow shows it with the
    // still black picture; closeWindow lets it go before the closing line.
    void* (*openWindow)() = nullptr;
    void (*showWindow)() = nullptr;
    void (*closeWindow)() = nullptr;

    // A modal warning with an OK button (null: the text on stderr).
    void (*showWarning)(const char* caption, const char* text) = nullptr;

    const SoundDeviceOps* soundDevice = nullptr;   // null: no sound device
    SoundStop soundStop = SoundStop::BeforeClosingLine;
};
