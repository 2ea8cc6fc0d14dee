// The score compiler: note names and tuning, how instruments, arpeggios,
// drums and the envelope turn into registers, the two file encodings, and
// the messages for malformed scores.
#include <gtest/gtest.h>

#include <string>

#include "dump_writer.h"
#include "score.h"
#include "song_render.h"

namespace {

using songc::RegisterFrame;

std::vector<RegisterFrame> Compile(const std::string& text)
{
    return songc::RenderSong(songc::ParseScore(text)).frames;
}

int Period(const RegisterFrame& f, int voice)
{
    return f.regs[static_cast<size_t>(2 * voice)] | f.regs[static_cast<size_t>(2 * voice + 1)] << 8;
}

int EnvelopePeriod(const RegisterFrame& f)
{
    return f.regs[11] | f.regs[12] << 8;
}

TEST(SongcNotes, NamesAndEqualTemperedPeriods)
{
    EXPECT_EQ(songc::ParseNoteName("A-4"), 69);
    EXPECT_EQ(songc::ParseNoteName("C-4"), 60);
    EXPECT_EQ(songc::ParseNoteName("C#3"), 49);
    EXPECT_EQ(songc::ParseNoteName("Bb2"), 46);
    EXPECT_EQ(songc::ParseNoteName("B-8"), 119);
    for (const char* bad : {"H-4", "A4", "A-9", "a-4", "A+4", "A-44", ""}) {
        EXPECT_EQ(songc::ParseNoteName(bad), -1) << bad;
    }
    // round(125,000 / f) with f = 440 * 2^((n - 69) / 12)
    EXPECT_EQ(songc::TonePeriod(69), 284);    // 440 Hz: 284.09
    EXPECT_EQ(songc::TonePeriod(57), 568);    // 220 Hz: 568.18
    EXPECT_EQ(songc::TonePeriod(60), 478);    // 261.63 Hz: 477.78
    EXPECT_EQ(songc::TonePeriod(28), 3034);   // 41.20 Hz: 3033.6
    EXPECT_EQ(songc::TonePeriod(24), 3822);   // 32.70 Hz: 3822.1
}

TEST(SongcRender, InstrumentSequencesReleaseAndMixer)
{
    const auto frames = Compile(R"(
tempo 2
instrument beep
  volume 15 14 | 13 12
  release 5 0
end
track t
  A-4:beep . . = .
end
order
  t - - -
end
)");
    ASSERT_EQ(frames.size(), 10u);   // 5 rows of 2 frames
    const int volumes[] = {15, 14, 13, 12, 13, 12, 5, 0, 0, 0};
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i].regs[8], volumes[i]) << "frame " << i;
    EXPECT_EQ(Period(frames[0], 0), 284);
    EXPECT_EQ(frames[0].regs[7], 0x3E);   // tone A on, everything else off
    EXPECT_EQ(frames[7].regs[7], 0x3F);   // silent once the release reaches 0
    EXPECT_EQ(frames[9].regs[9], 0);
    EXPECT_EQ(frames[9].regs[10], 0);
}

TEST(SongcRender, ChordArpeggioVibratoTransposeAndRowVolume)
{
    const auto frames = Compile(R"(
tempo 6
instrument a
  volume 15
end
instrument wobble
  volume 15
  vibrato 2 50 4
end
track arps
  A-4:a,x47,v12
end
track wob
  A-4:wobble
end
order
  arps+12 - - -
  - wob - -
end
)");
    ASSERT_EQ(frames.size(), 12u);
    // A-5, C#6, E-6, repeating one step a frame, at the row's volume 12.
    const int expect[] = {songc::TonePeriod(81), songc::TonePeriod(85), songc::TonePeriod(88)};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Period(frames[static_cast<size_t>(i)], 0), expect[i % 3]) << i;
        EXPECT_EQ(frames[static_cast<size_t>(i)].regs[8], 12);
    }
    // The resting column A is silent; B's vibrato starts after 2 frames and
    // swings 50 cents up, then down.
    EXPECT_EQ(frames[6].regs[8], 0);
    EXPECT_EQ(Period(frames[6], 1), 284);
    EXPECT_EQ(Period(frames[7], 1), 284);
    EXPECT_EQ(Period(frames[8], 1), 284);   // triangle at 0
    EXPECT_EQ(Period(frames[9], 1), 276);   // +50 cents: 125000 / 452.89
    EXPECT_EQ(Period(frames[10], 1), 284);
    EXPECT_EQ(Period(frames[11], 1), 292);   // -50 cents
}

const char* BuzzAndKick = R"(
tempo 4
instrument buzz
  volume e
  envelope 8 ratio 16
end
drum kick A
  note E-3
  volume e15 e
  noise 1 -
  envelope 0 period 781
end
drum hat C
  note C-5
  volume 10
  tone 0
  noise 3
end
track bass
  A-1:buzz . . . A-2 .
end
drums beat
  . kick . hat . .
end
order
  bass - - beat
end
)";

TEST(SongcRender, DrumsTakeOverAVoiceAndTheEnvelopeComesBack)
{
    const auto frames = Compile(BuzzAndKick);
    ASSERT_EQ(frames.size(), 24u);
    // The buzz bass: envelope mode, saw shape 8, envelope period = tone period / 16.
    EXPECT_EQ(frames[0].regs[8], 0x10);
    EXPECT_EQ(Period(frames[0], 0), 2273);
    EXPECT_EQ(EnvelopePeriod(frames[0]), 142);
    EXPECT_EQ(frames[0].regs[13], 8);
    EXPECT_TRUE(frames[0].restartEnvelope);
    EXPECT_FALSE(frames[1].restartEnvelope);
    // Row 1: the kick takes voice A for its two frames, with its own shape
    // and period, and its noise on the first frame only.
    EXPECT_EQ(frames[4].regs[8], 0x1F);
    EXPECT_EQ(Period(frames[4], 0), 758);
    EXPECT_EQ(EnvelopePeriod(frames[4]), 781);
    EXPECT_TRUE(frames[4].restartEnvelope);
    EXPECT_EQ(frames[4].regs[13], 0);
    EXPECT_EQ(frames[4].regs[7], 0x36);   // tone A on, noise A on
    EXPECT_EQ(frames[5].regs[7], 0x3E);
    EXPECT_FALSE(frames[5].restartEnvelope);
    // After the kick the bass needs its saw back: the shape is written again.
    EXPECT_EQ(Period(frames[6], 0), 2273);
    EXPECT_TRUE(frames[6].restartEnvelope);
    EXPECT_EQ(frames[6].regs[13], 8);
    EXPECT_EQ(EnvelopePeriod(frames[6]), 142);
    // Row 3: the hat is noise alone on C; the bass goes on under it untouched.
    EXPECT_EQ(frames[12].regs[7], 0x1E);   // tone A, noise C
    EXPECT_EQ(frames[12].regs[6], 3);
    EXPECT_EQ(frames[12].regs[10], 10);
    EXPECT_FALSE(frames[12].restartEnvelope);
    EXPECT_EQ(frames[13].regs[10], 0);   // the one-frame hat is over
    // Row 4: a new bass note restarts the saw at its own period.
    EXPECT_TRUE(frames[16].restartEnvelope);
    EXPECT_EQ(EnvelopePeriod(frames[16]), 71);
}

TEST(SongcEncode, DeltaFramesCarryOnlyChangesAndShapeRestarts)
{
    const auto frames = Compile(BuzzAndKick);
    const std::vector<uint8_t> bytes = songc::EncodeDelta(frames, "Test");
    ASSERT_GT(bytes.size(), 32u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "YMDX");
    EXPECT_EQ(bytes[7], frames.size());
    EXPECT_EQ(std::string(bytes.begin() + 16, bytes.begin() + 20), "Test");
    // Walk the frames back out of the bytes.
    size_t at = 32;
    std::array<uint8_t, 14> regs{};
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_LE(at + 2, bytes.size());
        const int mask = bytes[at] << 8 | bytes[at + 1];
        at += 2;
        if (i == 0) {
            EXPECT_EQ(mask, 0xFFFC);
        }
        EXPECT_EQ(mask & 3, 0);
        EXPECT_EQ((mask >> 2) & 1, frames[i].restartEnvelope ? 1 : 0) << "frame " << i;
        for (int r = 0; r < 14; ++r) {
            if (mask & (1 << (15 - r))) {
                ASSERT_LT(at, bytes.size());
                if (i > 0 && r != 13) {
                    EXPECT_NE(bytes[at], regs[static_cast<size_t>(r)]) << "unchanged register written";
                }
                regs[static_cast<size_t>(r)] = bytes[at++];
            }
        }
        EXPECT_EQ(regs, frames[i].regs) << "frame " << i;
    }
    EXPECT_EQ(at, bytes.size());

    const std::vector<uint8_t> raw = songc::EncodeRaw(frames);
    ASSERT_EQ(raw.size(), frames.size() * 14);
    for (size_t i = 0; i < frames.size(); ++i) {
        for (size_t r = 0; r < 13; ++r) EXPECT_EQ(raw[i * 14 + r], frames[i].regs[r]);
        EXPECT_EQ(raw[i * 14 + 13], frames[i].restartEnvelope ? frames[i].regs[13] : 255) << "frame " << i;
    }
}

// Malformed scores: each must fail with its own message, on the right line.
struct BadScore {
    std::string text;
    int line;
    const char* message;
};

TEST(SongcErrors, MalformedScoresNameTheLine)
{
    const std::string ins = "instrument i\n  volume 15\nend\n";   // lines 1-3
    const BadScore cases[] = {
        {"tempo 6\nbogus 3\n", 2, "unknown keyword 'bogus'"},
        {"tempo 0\n", 1, "tempo 0 is outside 1..64"},
        {"instrument i\n  volume 15 16\nend\n", 2, "volume 16 is outside 0..15"},
        {"instrument i\n  volume 15\n  wobble 3\nend\n", 3, "unknown instrument setting 'wobble'"},
        {"instrument i\n  volume 15\n", 1, "missing its 'end'"},
        {"instrument i\n  volume e\nend\n", 1, "has no 'envelope' line"},
        {"instrument i\n  volume 15 | \nend\n", 2, "nothing follows the loop mark"},
        {"drum k D\n  volume 15\nend\n", 1, "channel must be A, B or C"},
        {"drum k A\n  note C-4\n  volume 15 | 14\nend\n", 1, "its volume cannot loop"},
        {ins + "track t\n  A-4:i . H-4 .\nend\n", 5, "'H-4' is not a note"},
        {ins + "track t\n  A-4:nope\nend\n", 5, "unknown instrument 'nope'"},
        {ins + "track t\n  A-4:i,y3\nend\n", 5, "unknown effect 'y3'"},
        {ins + "track t\n  A-4:i\nend\ntrack u\n  A-4:i .\nend\norder\n  t u - -\nend\n", 11, "must be equally long"},
        {ins + "track t\n  A-4:i\nend\norder\n  t zz - -\nend\n", 8, "unknown track 'zz'"},
        {ins + "track t\n  A-4:i\nend\norder\n  - - - t\nend\n", 8, "drum tracks go in the 4th column"},
        {ins + "track t\n  A-4:i\nend\norder\n  t -\nend\n", 8, "names 4 tracks"},
        {ins + "track t\n  A-4:i\nend\ndrums d\n  .\nend\norder\n  t - - d+2\nend\n", 11, "cannot be transposed"},
        {ins + "track t\n  A-4:i\nend\ntrack t\n  A-4\nend\n", 7, "defined twice"},
        {ins + "track t\n  A-4\nend\norder\n  t - - -\nend\n", 5, "none played before on channel A"},
        {ins + "track t\n  . C-0:i\nend\norder\n  t - - -\nend\n", 5, "outside the chip's 1..4095"},
        {ins + "track t\n  A-4:i\nend\n", 0, "no order list"},
        {"tempo 6\n\177ELF\2\1\n", 2, "not a text score: byte 0x7f at column 1"},
        {"tempo 6\ntitle a\x1b[2Jb\n", 2, "byte 0x1b at column 8"},
    };
    for (const BadScore& c : cases) {
        try {
            (void)songc::RenderSong(songc::ParseScore(c.text));
            ADD_FAILURE() << "accepted:\n" << c.text;
        } catch (const songc::ScoreError& e) {
            EXPECT_EQ(e.line, c.line) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << e.what() << "\nwanted: " << c.message;
        }
    }
}

TEST(SongcErrors, TwoVoicesWantingTheNoiseOrTheEnvelopeDifferently)
{
    const std::string head = R"(
instrument n3
  volume 10
  noise 3
end
instrument n9
  volume 10
  noise 9
end
instrument e1
  volume e
  envelope 8 period 100
end
instrument e2
  volume e
  envelope 8 period 200
end
)";   // lines 1-17
    try {
        (void)Compile(head + "track a\n  . A-4:n3\nend\ntrack b\n  . A-4:n9\nend\norder\n  a b - -\nend\n");
        ADD_FAILURE() << "noise clash accepted";
    } catch (const songc::ScoreError& e) {
        EXPECT_EQ(e.line, 22);
        EXPECT_NE(std::string(e.what()).find("noise clash at order line 25, row 1"), std::string::npos) << e.what();
    }
    try {
        (void)Compile(head + "track a\n  A-4:e1 .\nend\ntrack b\n  . A-4:e2\nend\norder\n  a b - -\nend\n");
        ADD_FAILURE() << "envelope clash accepted";
    } catch (const songc::ScoreError& e) {
        EXPECT_EQ(e.line, 22);
        EXPECT_NE(std::string(e.what()).find("envelope clash"), std::string::npos) << e.what();
    }
    // The same noise period on two voices, or the same envelope, is fine.
    EXPECT_NO_THROW(Compile(head + "track a\n  A-4:n3\nend\ntrack b\n  C-4:n3\nend\norder\n  a b - -\nend\n"));
    EXPECT_NO_THROW(Compile(head + "track a\n  A-4:e1\nend\ntrack b\n  C-4:e1\nend\norder\n  a b - -\nend\n"));
}

}   // namespace
