// The sound a listener hears from the SoundServer and the music player
// together, on outputs whose play cursor moves in steps of every size, with
// jitter, on a drifting clock, with early and stalled refills. The output is
// simulated: at each cursor step it takes the ring's bytes up to the new
// cursor (the memory ring's output side, fades included), and those bytes in
// order are what is heard. After the fade-in it must be the player's own
// continuous stream, sample for sample: no repeat, no skip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "music/player.h"
#include "music_test_songs.h"
#include "sound/memory_ring.h"
#include "sound/sound_server.h"
#include "support/scripted_sound_device.h"

namespace {

constexpr int64_t Millisecond = 1000;   // times are in microseconds
constexpr int64_t Second = 1000 * Millisecond;

struct Simulation {
    std::vector<int64_t> steps;      // when the cursor moves
    std::vector<int64_t> refills;    // when the sound thread refills
    int64_t outputPerMille = 1000;   // the output's clock against the refills', in 1/1000 (drift)
    int64_t outputDivisor = 1000;
    int64_t fadeOutAt = -1;   // when the front end asks the music to fade out
};

std::vector<int64_t> Every(int64_t period, int64_t until, int64_t from = 0)
{
    std::vector<int64_t> times;
    for (int64_t t = from; t <= until; t += period) times.push_back(t);
    return times;
}

class SoundStreamTest : public music_test::MusicTest {
protected:
    void SetUp() override
    {
        MusicTest::SetUp();
        song = music_test::BusyRawSong(2500, 7);   // 50 s of music
        Load(song);
        reference = Render(44100 * 48);
        RestorePlayerStartState();
        Load(song);
        ResetScriptedDevice();
    }

    // Runs the server and the output through the simulation; returns what was heard.
    std::vector<int16_t> Run(const Simulation& s)
    {
        auto server = std::make_unique<SoundServer>(nullptr, ScriptedSoundDevice);
        EXPECT_TRUE(server->Open(FillCallback));
        std::vector<int16_t> heard;
        int16_t burst[4096];
        int64_t taken = 0;
        size_t step = 0, refill = 0;
        bool fading = false;
        while (step < s.steps.size() || refill < s.refills.size()) {
            const bool stepNext = refill == s.refills.size() ||
                                  (step < s.steps.size() && s.steps[step] <= s.refills[refill]);
            const int64_t now = stepNext ? s.steps[step++] : s.refills[refill++];
            if (s.fadeOutAt >= 0 && !fading && now >= s.fadeOutAt) {
                FadeOutMemoryRing(ScriptedRing);
                fading = true;
                fadeOutHeardAt = heard.size();
            }
            if (!stepNext) {
                EXPECT_TRUE(server->Refill());
                continue;
            }
            const int64_t due = now * 44100 * s.outputPerMille / (Second * s.outputDivisor);
            while (taken < due) {
                const uint32_t n = static_cast<uint32_t>(std::min<int64_t>(due - taken, 4096));
                PlayMemoryRing(ScriptedRing, burst, n);
                heard.insert(heard.end(), burst, burst + n);
                taken += n;
            }
        }
        return heard;
    }

    static int16_t FadedIn(int16_t sample, int32_t k) { return static_cast<int16_t>(sample * k / 882); }

    // Where the music begins in what was heard: the fade-in starts at 0, so
    // the first audible sample says where the stream's first sample was.
    size_t MusicStart(const std::vector<int16_t>& heard)
    {
        const auto firstSound = std::find_if(heard.begin(), heard.end(), [](int16_t x) { return x != 0; });
        EXPECT_NE(firstSound, heard.end()) << "nothing but silence was heard";
        int32_t k = 0;
        while (k < 882 && FadedIn(reference[static_cast<size_t>(k)], k) == 0) ++k;
        return static_cast<size_t>(firstSound - heard.begin()) - static_cast<size_t>(k);
    }

    // Heard from `start` on, but for [skipFrom, skipTo): the fade-in, then the
    // stream sample for sample at the same time; the first difference, or -1.
    int64_t FirstBreak(const std::vector<int16_t>& heard, size_t start, size_t end, size_t skipFrom = 0,
                       size_t skipTo = 0)
    {
        for (size_t i = start; i < end; ++i) {
            if (i >= skipFrom && i < skipTo) continue;
            const size_t k = i - start;
            const int16_t expected = k < 882 ? FadedIn(reference[k], static_cast<int32_t>(k)) : reference[k];
            if (heard[i] != expected) return static_cast<int64_t>(i);
        }
        return -1;
    }

    void ExpectTheStream(const Simulation& s, const char* what)
    {
        const std::vector<int16_t> heard = Run(s);
        ASSERT_GT(heard.size(), 44100u * 30) << what;
        const size_t start = MusicStart(heard);
        // Silence before the music: the ring's first lap and the player's
        // unwritten first calls.
        EXPECT_GE(start, RingBytes / 2) << what;
        EXPECT_LT(start, 44100u) << what;
        const int64_t at = FirstBreak(heard, start, heard.size());
        EXPECT_EQ(at, -1) << what << ": heard sample " << at << " is "
                          << heard[static_cast<size_t>(std::max<int64_t>(at, 0))] << " where the stream has "
                          << reference[static_cast<size_t>(std::max<int64_t>(at, 0) - static_cast<int64_t>(start))];
    }

    std::vector<uint8_t> song;
    std::vector<int16_t> reference;
    size_t fadeOutHeardAt = 0;
};

TEST_F(SoundStreamTest, EveryCursorStepSizeHearsTheStreamUnbroken)
{
    for (int64_t stepMs : {5, 10, 20, 40, 60, 90}) {
        SetUp();
        Simulation s;
        s.steps = Every(stepMs * Millisecond, 31 * Second, stepMs * Millisecond);
        s.refills = Every(20 * Millisecond, 31 * Second);
        // A cursor that steps on the refill's own beat: whichever comes first.
        ExpectTheStream(s, ("steps of " + std::to_string(stepMs) + " ms").c_str());
        if (HasFailure()) return;
    }
}

TEST_F(SoundStreamTest, ACursorWithJitterHearsTheStreamUnbroken)
{
    music_test::SongRandom random{12345};
    Simulation s;
    for (int64_t t = 0; t < 31 * Second;) {
        t += 1 * Millisecond + random.Next() % (70 * Millisecond);
        s.steps.push_back(t);
    }
    for (int64_t t = 0; t < 31 * Second;) {
        s.refills.push_back(t);
        t += 15 * Millisecond + random.Next() % (10 * Millisecond);
    }
    ExpectTheStream(s, "jittering steps");
}

TEST_F(SoundStreamTest, AnOutputClockThatDriftsHearsTheStreamUnbroken)
{
    for (int64_t perMille : {1000 * 1000 + 2500, 1000 * 1000 - 2500}) {   // +-0.25 %
        SetUp();
        Simulation s;
        s.steps = Every(40 * Millisecond, 31 * Second, 40 * Millisecond);
        s.refills = Every(20 * Millisecond, 31 * Second);
        s.outputPerMille = perMille;
        s.outputDivisor = 1000 * 1000;
        ExpectTheStream(s, perMille > 1000000 ? "output 0.25 % fast" : "output 0.25 % slow");
        if (HasFailure()) return;
    }
}

TEST_F(SoundStreamTest, ARefillTwoMillisecondsEarlyHearsTheStreamUnbroken)
{
    for (int64_t stepMs : {10, 20, 40}) {
        SetUp();
        Simulation s;
        s.steps = Every(stepMs * Millisecond, 31 * Second, stepMs * Millisecond);
        s.refills = Every(20 * Millisecond, 31 * Second);
        s.refills[500] -= 2 * Millisecond;
        ExpectTheStream(s, ("one early refill, steps of " + std::to_string(stepMs) + " ms").c_str());
        if (HasFailure()) return;
    }
}

TEST_F(SoundStreamTest, AStalledThreadLosesWhatWasDueAndTheMusicKeepsItsTime)
{
    // The sound thread is held up for 300 ms at 10 s, more than three laps,
    // while the output plays on in 10 ms steps. The listener hears the ring
    // that was written, then the same ring again until the thread is back;
    // from its next refill on the music plays what is due at that moment,
    // as if it had never stopped.
    Simulation s;
    s.steps = Every(10 * Millisecond, 31 * Second, 10 * Millisecond);
    s.refills = Every(20 * Millisecond, 31 * Second);
    std::erase_if(s.refills, [](int64_t t) { return t > 10 * Second && t < 10 * Second + 300 * Millisecond; });
    const std::vector<int16_t> heard = Run(s);
    const size_t start = MusicStart(heard);
    const size_t stallStart = 441000;                  // the last refill before the stall, at 10 s
    const size_t fresh = stallStart + RingBytes / 2;   // what it wrote is heard to the end
    const size_t back = 441000 + 13230;                // the next refill, 300 ms on
    EXPECT_EQ(FirstBreak(heard, start, heard.size(), fresh, back), -1);
    EXPECT_NE(FirstBreak(heard, start, back, 0, fresh), -1) << "the stale ring wasn't heard";
}

TEST_F(SoundStreamTest, TheOutputFadesInAndOutOverTwentyMilliseconds)
{
    Simulation s;
    s.steps = Every(10 * Millisecond, 12 * Second, 10 * Millisecond);
    s.refills = Every(20 * Millisecond, 12 * Second);
    s.fadeOutAt = 11 * Second + 5 * Millisecond;
    const std::vector<int16_t> heard = Run(s);
    const size_t start = MusicStart(heard);
    // The first 20 ms rise from 0; between the fades, the stream itself.
    EXPECT_EQ(FirstBreak(heard, start, fadeOutHeardAt), -1);
    // The 20 ms from the request go down to 0; silence after them.
    for (size_t k = 0; k < 882; ++k) {
        const size_t i = fadeOutHeardAt + k;
        ASSERT_EQ(heard[i], static_cast<int16_t>(reference[i - start] * static_cast<int32_t>(881 - k) / 882))
            << "fade-out sample " << k;
    }
    EXPECT_TRUE(std::all_of(heard.begin() + static_cast<ptrdiff_t>(fadeOutHeardAt + 882), heard.end(),
                            [](int16_t x) { return x == 0; }));
    EXPECT_TRUE(MemoryRingFadedOut(ScriptedRing));
    // The fade-in really rises: its middle is half the stream's level.
    EXPECT_EQ(heard[start + 441], static_cast<int16_t>(reference[441] / 2));
}

}   // namespace
