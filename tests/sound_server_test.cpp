// The ring arithmetic of the SoundServer against a scripted device.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sound/sound_server.h"
#include "support/scripted_sound_device.h"

namespace {

struct Call {
    ptrdiff_t offset;   // bytes from the ring's start
    uint32_t bytes;
    bool operator==(const Call&) const = default;
};

std::vector<Call> Calls;

int RecordCall(int16_t* samples, uint32_t bytes)
{
    Calls.push_back({reinterpret_cast<uint8_t*>(samples) - ScriptedRing.data, bytes});
    return 0;
}

class SoundServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetScriptedDevice();
        Calls.clear();
    }

    // Opens the server and places its next refill at `writeOffset`, the play
    // cursor then reporting `cursors` in turn.
    void OpenAt(uint32_t writeOffset, std::vector<uint32_t> cursors, SoundFillCallback callback = RecordCall)
    {
        ASSERT_TRUE(server->Open(callback));
        SoundServerProbe::writeOffset(*server) = writeOffset;
        Scripted.cursors = std::move(cursors);
    }

    std::unique_ptr<SoundServer> server = std::make_unique<SoundServer>(nullptr, ScriptedSoundDevice);
};

TEST_F(SoundServerTest, OpenStartsTheRingAndTheThread)
{
    SoundServer fresh(reinterpret_cast<void*>(0x1234), ScriptedSoundDevice);
    EXPECT_EQ(SoundServerProbe::thread(fresh), nullptr);
    EXPECT_EQ(SoundServerProbe::writeOffset(fresh), 0u);
    EXPECT_EQ(SoundServerProbe::running(fresh), 0);
    EXPECT_TRUE(fresh.Open(RecordCall));
    EXPECT_EQ(SoundServerProbe::window(fresh), reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(SoundServerProbe::fillCallback(fresh), &RecordCall);
    EXPECT_EQ(Scripted.plays, 1);
    EXPECT_TRUE(Scripted.threadStarted);
    EXPECT_EQ(SoundServerProbe::running(fresh), 1);
}

TEST_F(SoundServerTest, OpenFailsWithoutADeviceAndStartsNothing)
{
    Scripted.failCreate = true;
    EXPECT_FALSE(server->Open(RecordCall));
    EXPECT_EQ(SoundServerProbe::streamBuffer(*server), nullptr);
    EXPECT_FALSE(Scripted.threadStarted);
    EXPECT_EQ(SoundServerProbe::running(*server), 0);

    ResetScriptedDevice();
    Scripted.failRingBuffer = true;
    SoundServer second(nullptr, ScriptedSoundDevice);
    EXPECT_FALSE(second.Open(RecordCall));
    EXPECT_NE(SoundServerProbe::primaryBuffer(second), nullptr);   // what was made stays
    EXPECT_EQ(Scripted.plays, 0);
    EXPECT_FALSE(Scripted.threadStarted);
}

TEST_F(SoundServerTest, FirstRefillWithTheCursorAtZeroFillsTheWholeRing)
{
    OpenAt(0, {0});
    EXPECT_TRUE(server->Refill());
    EXPECT_EQ(Calls, (std::vector<Call>{{0, 8192}}));
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 0u);
}

TEST_F(SoundServerTest, FirstRefillWithTheCursorAheadFillsUpToIt)
{
    OpenAt(0, {1500});
    server->Refill();
    EXPECT_EQ(Calls, (std::vector<Call>{{0, 1500}}));
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 1500u);
}

TEST_F(SoundServerTest, AWrappingStretchIsHandedOutInPlayingOrder)
{
    OpenAt(7000, {1000});
    server->Refill();
    EXPECT_EQ(Calls, (std::vector<Call>{{7000, 1192}, {0, 1000}}));
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 1000u);
}

TEST_F(SoundServerTest, ASteadyRefillIsOneRegion)
{
    OpenAt(1000, {2764, 4528});
    server->Refill();
    server->Refill();
    EXPECT_EQ(Calls, (std::vector<Call>{{1000, 1764}, {2764, 1764}}));
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 4528u);
}

TEST_F(SoundServerTest, AFailedCursorQueryFillsNothing)
{
    OpenAt(3000, {});
    Scripted.cursorFails = {true, true};
    EXPECT_TRUE(server->Refill());
    EXPECT_TRUE(server->Refill());
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(Scripted.locks, 0);
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 3000u);
}

TEST_F(SoundServerTest, AnUnmovedCursorFillsNothingOnceTheRingIsWritten)
{
    // The first refill finds the cursor where the never-written ring starts:
    // the whole ring. Later refills that find the cursor where the last one
    // left it (a cursor that moves in steps coarser than the refills, or a
    // refill that comes early) leave the ring alone.
    OpenAt(0, {0, 0, 1764, 1764, 1764, 3528});
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(server->Refill());
    EXPECT_EQ(Calls, (std::vector<Call>{{0, 8192}, {0, 1764}, {1764, 1764}}));
    EXPECT_EQ(Scripted.locks, 3);
    EXPECT_EQ(Scripted.unlocks, 3);
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 3528u);
}

TEST_F(SoundServerTest, MoreThanALapPlayedIsPassedOverAndTheRingWrittenFromTheCursor)
{
    // A device that counts what it played: after the refill at 1000, the
    // output took 26,200 bytes (three laps and 1,816 bytes), so the cursor
    // stands at 2624 and 18,008 bytes of music were due while the listener
    // heard the old ring go round again.
    OpenAt(0, {});
    server->Refill();   // cursor 0, nothing played: the whole ring
    int16_t out[8192];
    PlayMemoryRing(ScriptedRing, out, 500);   // 1000 bytes
    server->Refill();
    Calls.clear();
    for (int i = 0; i < 6; ++i) PlayMemoryRing(ScriptedRing, out, 2182);
    PlayMemoryRing(ScriptedRing, out, 8);
    ASSERT_EQ(ScriptedRing.played.load(), 27200u);
    EXPECT_TRUE(server->Refill());
    // The due music is rendered into a scratch buffer outside the ring, in
    // pieces of at most a ring; then the whole ring from the cursor, in order.
    uint32_t passedOver = 0;
    std::vector<Call> intoRing;
    for (const Call& call : Calls) {
        if (call.offset >= 0 && call.offset < static_cast<ptrdiff_t>(RingBytes)) {
            intoRing.push_back(call);
        } else {
            EXPECT_TRUE(intoRing.empty()) << "passed over after the ring was written";
            passedOver += call.bytes;
        }
    }
    EXPECT_EQ(passedOver, 18008u);
    EXPECT_EQ(intoRing, (std::vector<Call>{{2624, 8192 - 2624}, {0, 2624}}));
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 2624u);

    // A device that can't count (DirectSound) only sees the cursor: it fills
    // the stretch from the last refill up to it.
    Calls.clear();
    Scripted.countsPlayed = false;
    PlayMemoryRing(ScriptedRing, out, 4096 + 100);
    server->Refill();
    EXPECT_EQ(Calls, (std::vector<Call>{{2624, 200}}));
}

TEST_F(SoundServerTest, WithoutACallbackTheRingIsLockedAndCursorFollowed)
{
    OpenAt(200, {900}, nullptr);
    EXPECT_TRUE(server->Refill());
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(Scripted.locks, 1);
    EXPECT_EQ(Scripted.unlocks, 1);
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 900u);
}

TEST_F(SoundServerTest, ALostRingIsRestoredAndReplayedUntilTheLockHolds)
{
    OpenAt(100, {300});
    const int playsAfterOpen = Scripted.plays;
    Scripted.failingLocks = 3;
    server->Refill();
    EXPECT_EQ(Scripted.locks, 4);
    EXPECT_EQ(Scripted.recovers, 3);
    EXPECT_EQ(Scripted.plays - playsAfterOpen, 3);
    EXPECT_EQ(Calls, (std::vector<Call>{{100, 200}}));
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 300u);
}

TEST_F(SoundServerTest, AStopRequestEndsTheThreadAfterItsRefill)
{
    OpenAt(0, {400, 800});
    EXPECT_TRUE(server->Refill());
    SoundServerProbe::stopRequested(*server) = 1;
    EXPECT_FALSE(server->Refill());
    EXPECT_EQ(SoundServerProbe::running(*server), 0);
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 800u);

    ResetScriptedDevice();
    Scripted.cursors = {64};
    SoundServerProbe::writeOffset(*server) = 0;
    EXPECT_EQ(SoundServer::ThreadMain(server.get()), 0u);   // one refill, then ends
    EXPECT_EQ(Scripted.locks, 1);
    EXPECT_EQ(SoundServer::ThreadMain(nullptr), 0u);
}

TEST_F(SoundServerTest, AStopRequestEndsTheLockRetries)
{
    // A ring that stays lost: the retries go on until a stop is asked for.
    OpenAt(100, {300});
    Scripted.failingLocks = 1 << 30;
    SoundServerProbe::stopRequested(*server) = 1;
    EXPECT_FALSE(server->Refill());
    EXPECT_EQ(SoundServerProbe::running(*server), 0);
    EXPECT_EQ(Scripted.locks, 1);
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 100u);
}

TEST_F(SoundServerTest, CloseFadesOutStopsTheThreadAndClosesTheDevice)
{
    OpenAt(0, {400});
    EXPECT_TRUE(server->Refill());
    EXPECT_TRUE(server->Close());
    EXPECT_EQ(Scripted.fadeOuts, 1);
    EXPECT_EQ(Scripted.closes, 1);
    EXPECT_FALSE(server->IsOpen());
    EXPECT_EQ(SoundServerProbe::stopRequested(*server), 0);   // as constructed
    EXPECT_EQ(SoundServerProbe::streamBuffer(*server), nullptr);
    EXPECT_TRUE(server->Close());   // closed already: nothing more happens
    EXPECT_EQ(Scripted.closes, 1);

    // It opens again, its ring written from the start.
    ResetScriptedDevice();
    Calls.clear();
    ASSERT_TRUE(server->Open(RecordCall));
    EXPECT_EQ(SoundServerProbe::writeOffset(*server), 0u);
    Scripted.cursors = {0};
    server->Refill();
    EXPECT_EQ(Calls, (std::vector<Call>{{0, RingBytes}}));
}

TEST_F(SoundServerTest, AThreadThatDoesNotEndLeavesTheDeviceOpen)
{
    OpenAt(0, {});
    Scripted.threadStuck = true;
    EXPECT_FALSE(server->Close());
    EXPECT_EQ(Scripted.closes, 0);   // the device is left to the process's end

    SoundServer never(nullptr, ScriptedSoundDevice);
    Scripted.failCreate = true;
    EXPECT_FALSE(never.Open(RecordCall));
    EXPECT_TRUE(never.Close());
    EXPECT_EQ(Scripted.fadeOuts, 1);
}

}   // namespace
