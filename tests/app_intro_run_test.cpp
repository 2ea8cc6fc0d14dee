// The whole run through a made-up front end: the start-up in its order (the
// banner, the window made, the sound started, the window shown, the
// picture set up), the loop until a close request, then the window gone and
// the sound stopped before the closing line; a window that can't be made
// ends the run with nothing started, and a device that can't be opened is
// warned about once while the picture runs on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/intro_run.h"
#include "app/shell.h"
#include "app/sound_session.h"
#include "picture/lens_effect.h"
#include "support/scripted_sound_device.h"

namespace {

struct MadeUp {
    double now = 0.0;
    int passesUntilClose = 3;
    bool windowFails = false;
    std::vector<std::string> log;
};

MadeUp Fake;

double Now()
{
    return Fake.now;
}

bool TakeEvents()
{
    return Fake.passesUntilClose-- <= 0;
}

void Present()
{
    Fake.log.push_back("present");
}

void Sleep(uint32_t milliseconds)
{
    Fake.now += milliseconds;
}

void* OpenWindow()
{
    Fake.log.push_back("open window");
    return Fake.windowFails ? nullptr : &Fake;
}

void ShowWindow()
{
    Fake.log.push_back("show window, sound " + std::string(SoundPlays() ? "plays" : "silent"));
}

void CloseWindow()
{
    Fake.log.push_back("close window, sound closes " + std::to_string(Scripted.closes));
}

void ShowWarning(const char* caption, const char* text)
{
    Fake.log.push_back(std::string("warning ") + caption + ": " + text);
}

constexpr FrontEnd MadeUpFrontEnd{
    .now = Now,
    .takeEvents = TakeEvents,
    .present = Present,
    .sleep = Sleep,
    .openWindow = OpenWindow,
    .showWindow = ShowWindow,
    .closeWindow = CloseWindow,
    .showWarning = ShowWarning,
    .soundDevice = &ScriptedSoundDevice,
};

class IntroRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fake = MadeUp{};
        ResetScriptedDevice();
        ResetSoundSession();
    }
    void TearDown() override { ResetSoundSession(); }

    // Runs the intro; its console output.
    std::string Run(const FrontEnd& frontEnd, int& code)
    {
        testing::internal::CaptureStdout();
        code = RunIntro(frontEnd);
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(IntroRun, StartsInOrderRunsUntilClosedAndStopsTheSoundBeforeTheClosingLine)
{
    int code = -1;
    const std::string console = Run(MadeUpFrontEnd, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(console, std::string(BannerLine) + ClosingLine);
    ASSERT_GE(Fake.log.size(), 4u);
    EXPECT_EQ(Fake.log[0], "open window");
    EXPECT_EQ(Fake.log[1], "show window, sound plays");
    EXPECT_EQ(Fake.log.back(), "close window, sound closes 0");
    // Passes present what their turns drew, once the window is shown.
    EXPECT_EQ(Fake.log[2], "present");
    EXPECT_EQ(Scripted.fadeOuts, 1);
    EXPECT_EQ(Scripted.closes, 1);
    EXPECT_TRUE(IntroClosed());
}

TEST_F(IntroRun, AWindowThatCantBeMadeEndsTheRunWithNothingStarted)
{
    Fake.windowFails = true;
    int code = -1;
    const std::string console = Run(MadeUpFrontEnd, code);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(console, BannerLine);
    EXPECT_EQ(Fake.log, std::vector<std::string>{"open window"});
    EXPECT_EQ(Scripted.plays, 0);
}

TEST_F(IntroRun, ADeviceThatCantOpenIsWarnedAboutOnceAndThePictureRunsOn)
{
    Scripted.failCreate = true;
    int code = -1;
    Run(MadeUpFrontEnd, code);
    EXPECT_EQ(code, 0);
    ASSERT_GE(Fake.log.size(), 4u);
    EXPECT_EQ(Fake.log[1], std::string("warning ") + SoundWarningCaption + ": " + SoundWarningText);
    EXPECT_EQ(Fake.log[2], "show window, sound silent");
    EXPECT_GT(Effect.FrameCounter, 0.0);

    // Without a device at all (a muted desktop intro) nothing is warned about.
    FrontEnd muted = MadeUpFrontEnd;
    muted.soundDevice = nullptr;
    Fake = MadeUp{};
    Run(muted, code);
    EXPECT_EQ(Fake.log[1], "show window, sound silent");
}

// A stepped intro closed (a page left) and reopened (the page back from the
// browser's cache): the loop runs again, the sound plays again, and the next
// close says the closing line again.
TEST_F(IntroRun, AClosedSteppedIntroReopensWithItsSound)
{
    testing::internal::CaptureStdout();
    PacedLoop loop;
    StartSteppedIntro(MadeUpFrontEnd, loop);
    StartLoop(loop, MadeUpFrontEnd);
    Fake.passesUntilClose = 100;
    EXPECT_TRUE(CloseIntro());
    EXPECT_FALSE(SoundPlays());
    EXPECT_FALSE(StepIntro(loop));

    ReopenIntro();
    EXPECT_FALSE(IntroClosed());
    EXPECT_TRUE(SoundPlays());
    EXPECT_EQ(Scripted.closes, 1);
    const uint64_t turns = loop.turns;
    StartLoop(loop, MadeUpFrontEnd);
    Fake.now += 100.0;
    EXPECT_TRUE(StepIntro(loop));
    EXPECT_GT(loop.turns, turns);
    EXPECT_TRUE(CloseIntro());
    EXPECT_EQ(Scripted.closes, 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(BannerLine) + ClosingLine + ClosingLine);
}

}   // namespace
