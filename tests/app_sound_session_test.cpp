// The sound session: the files that can and can't be songs, a switch while
// the intro runs, after which the player plays the new song exactly as it
// would from the start of a run, drops, and mute.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "app/chosen_files.h"
#include "app/sound_session.h"
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

class SoundSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetScriptedDevice();
        ResetSoundSession();
    }
    void TearDown() override { ResetSoundSession(); }
};

TEST_F(SoundSession, OnlyAReadableRegularFileIsASong)
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

TEST_F(SoundSession, ASwitchPlaysTheNewSongAsFromTheStartOfARun)
{
    ScratchDir dir("song-switch");
    WriteFile("first.dmp", music_test::BusyRawSong(60, 2));
    WriteFile("second.dmp", music_test::BusyRawSong(60, 3));

    // The second song's stream as a run that starts with it makes it.
    RestorePlayerStartState();
    std::string reason;
    ASSERT_TRUE(ChooseSong("second.dmp", reason));
    EXPECT_EQ(StartSound(nullptr), -1);   // no device: the song alone
    EXPECT_FALSE(SoundPlays());
    const std::vector<int16_t> fresh = Stream(40, 1764);

    // A run that plays the first song for a while, then switches.
    ResetScriptedDevice();
    RestorePlayerStartState();
    ASSERT_TRUE(ChooseSong("first.dmp", reason));
    UseSoundDevice(&ScriptedSoundDevice);
    EXPECT_EQ(StartSound(nullptr), 0);
    ASSERT_TRUE(SoundPlays());
    for (int i = 0; i < 25; ++i) SessionServer()->Refill();
    EXPECT_FALSE(SwitchSong("no such song", reason));
    EXPECT_EQ(Scripted.closes, 0);   // the first song plays on

    ASSERT_TRUE(SwitchSong("second.dmp", reason));
    EXPECT_EQ(Scripted.fadeOuts, 1);
    EXPECT_EQ(Scripted.closes, 1);
    EXPECT_TRUE(SoundPlays());
    EXPECT_EQ(Stream(40, 1764), fresh);

    // A drop: its first file is played, the rest ignored.
    BeginDrop();
    DropFile("folder that is not there");
    DropFile("first.dmp");
    EXPECT_EQ(Scripted.closes, 1);
    BeginDrop();
    DropFile("first.dmp");
    DropFile("second.dmp");
    EXPECT_EQ(Scripted.closes, 2);
    EXPECT_STREQ(SongPath(), "first.dmp");
}

// Mute reaches a device that can silence itself, now and after a switch;
// the session as reset chooses no song and no device.
TEST_F(SoundSession, MuteOutlivesASwitchAndAResetForgetsTheChoice)
{
    ScratchDir dir("song-mute");
    WriteFile("tune.dmp", music_test::BusyRawSong(20, 1));
    static std::vector<bool> told;
    told.clear();
    SoundDeviceOps muting = ScriptedSoundDevice;
    muting.setMuted = [](bool muted) { told.push_back(muted); };
    UseSoundDevice(&muting);
    ASSERT_EQ(StartSound(nullptr), 0);
    SetSoundMuted(true);
    std::string reason;
    ASSERT_TRUE(SwitchSong("tune.dmp", reason));
    EXPECT_TRUE(SoundMuted());
    SetSoundMuted(false);
    EXPECT_EQ(told, (std::vector<bool>{true, true, false}));

    ResetSoundSession();
    EXPECT_FALSE(SoundPlays());
    EXPECT_FALSE(SoundMuted());
    EXPECT_STRNE(SongPath(), "tune.dmp");
}

}   // namespace
