// Choosing a song while the intro runs: the files that can and can't be
// songs, and a switch, after which the player plays the new song exactly as
// it would from the start of a run.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "app/intro.h"
#include "app/intro_run.h"
#include "app/song_choice.h"
#include "music/player.h"
#include "music/player_state.h"
#include "music_test_songs.h"
#include "support/scratch_dir.h"
#include "support/scripted_sound_device.h"

namespace {

// What the player writes over `calls` calls of `bytes` bytes each.
std::vector<int16_t> Stream(int calls, uint32_t bytes)
{
    std::vector<int16_t> samples(static_cast<size_t>(calls) * bytes / 2);
    for (int i = 0; i < calls; ++i) FillCallback(samples.data() + static_cast<size_t>(i) * bytes / 2, bytes);
    return samples;
}

TEST(SongChoice, OnlyAReadableRegularFileIsASong)
{
    ScratchDir dir("song-choice");
    WriteFile("tune.dmp", music_test::BusyRawSong(40, 1));
    mkdir("folder", 0755);
    std::string reason;
    EXPECT_FALSE(ChooseSong("no such song", reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(ChooseSong("folder", reason));
    EXPECT_EQ(reason, "it is a folder");
    EXPECT_FALSE(ChooseSong("/dev/null", reason));
    EXPECT_EQ(reason, "it is not a regular file");
    ASSERT_TRUE(ChooseSong("tune.dmp", reason));
    EXPECT_STREQ(SongPath(), "tune.dmp");
    EXPECT_FALSE(ChooseSong("folder", reason));
    EXPECT_STREQ(SongPath(), "tune.dmp");   // a refusal keeps the song chosen before

    EXPECT_TRUE(TakeNamedPaths("", ""));
    EXPECT_TRUE(TakeNamedPaths("folder", "tune.dmp"));
    EXPECT_FALSE(TakeNamedPaths("tune.dmp", ""));
    EXPECT_FALSE(TakeNamedPaths("", "folder"));
}

TEST(SongChoice, ASwitchPlaysTheNewSongAsFromTheStartOfARun)
{
    ScratchDir dir("song-switch");
    WriteFile("first.dmp", music_test::BusyRawSong(60, 2));
    WriteFile("second.dmp", music_test::BusyRawSong(60, 3));

    // The second song's stream as a run that starts with it makes it.
    RestorePlayerStartState();
    std::string reason;
    ASSERT_TRUE(ChooseSong("second.dmp", reason));
    StartIntroSound(nullptr, true);
    const std::vector<int16_t> fresh = Stream(40, 1764);

    // A run that plays the first song for a while, then switches.
    ResetScriptedDevice();
    RestorePlayerStartState();
    ASSERT_TRUE(ChooseSong("first.dmp", reason));
    EXPECT_EQ(StartIntroSound(nullptr, false), 0);
    ASSERT_NE(TheSoundServer(), nullptr);
    for (int i = 0; i < 25; ++i) TheSoundServer()->Refill();
    EXPECT_FALSE(SwitchSong("no such song", false, reason));
    EXPECT_EQ(Scripted.closes, 0);   // the first song plays on

    ASSERT_TRUE(SwitchSong("second.dmp", false, reason));
    EXPECT_EQ(Scripted.fadeOuts, 1);
    EXPECT_EQ(Scripted.closes, 1);
    EXPECT_TRUE(TheSoundServer()->IsOpen());
    EXPECT_EQ(Stream(40, 1764), fresh);

    // A drop: its first file is played, the rest ignored.
    BeginSongDrop();
    DropSongFile("folder that is not there", false);
    DropSongFile("first.dmp", false);
    EXPECT_EQ(Scripted.closes, 1);
    BeginSongDrop();
    DropSongFile("first.dmp", false);
    DropSongFile("second.dmp", false);
    EXPECT_EQ(Scripted.closes, 2);
    EXPECT_STREQ(SongPath(), "first.dmp");
    StopIntroSound();
}

}   // namespace
