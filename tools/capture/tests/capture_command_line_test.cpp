// The capture tool's command line: call lists, seconds, and each command's
// accepted and refused forms.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "command_line.h"

namespace {

std::vector<CallRun> Calls(const char* spec)
{
    std::vector<CallRun> runs;
    std::string error;
    EXPECT_TRUE(ParseCallSpec(spec, runs, error)) << spec << ": " << error;
    return runs;
}

bool Parses(std::initializer_list<const char*> args, CaptureRequest& request, std::string& error)
{
    std::vector<const char*> argv = {"quillmoor-capture"};
    argv.insert(argv.end(), args.begin(), args.end());
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), request, error);
}

CaptureRequest Accepted(std::initializer_list<const char*> args)
{
    CaptureRequest request;
    std::string error;
    EXPECT_TRUE(Parses(args, request, error)) << error;
    return request;
}

std::string Refused(std::initializer_list<const char*> args)
{
    CaptureRequest request;
    std::string error;
    EXPECT_FALSE(Parses(args, request, error));
    EXPECT_FALSE(error.empty());
    return error;
}

uint64_t Seconds(const char* text, uint32_t rate)
{
    uint64_t units = 12345;
    std::string error;
    EXPECT_TRUE(ParseSeconds(text, rate, units, error)) << text << ": " << error;
    return units;
}

}   // namespace

TEST(CaptureCallSpec, ListsAndRepeats)
{
    const auto runs = Calls("8192,1764*2000,7,0*9");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].bytes, 8192u);
    EXPECT_EQ(runs[0].count, 1u);
    EXPECT_EQ(runs[1].bytes, 1764u);
    EXPECT_EQ(runs[1].count, 2000u);
    EXPECT_EQ(runs[2].bytes, 7u);     // odd counts are calls too
    EXPECT_EQ(runs[3].bytes, 0u);     // so are empty ones
    EXPECT_EQ(runs[3].count, 9u);

    const auto limits = Calls("16777216*4294967295,0007");
    EXPECT_EQ(limits[0].bytes, MaxCallBytes);
    EXPECT_EQ(limits[0].count, 4294967295u);
    EXPECT_EQ(limits[1].bytes, 7u);
}

TEST(CaptureCallSpec, MalformedListsAreRefused)
{
    for (const char* spec : {"", ",", "1,", ",1", "1,,2", "1**2", "1*0", "1*", "*2", "a", "1 ,2", " 1", "-1", "+1",
                             "1.5", "1*2*3", "16777217", "1*4294967296", "99999999999999999999999"}) {
        std::vector<CallRun> runs = {{5, 5}};
        std::string error;
        EXPECT_FALSE(ParseCallSpec(spec, runs, error)) << spec;
        EXPECT_FALSE(error.empty()) << spec;
        EXPECT_EQ(runs.size(), 1u) << "a refused list leaves the runs alone: " << spec;
    }
}

TEST(CaptureSeconds, ExactDecimalsRoundedDown)
{
    EXPECT_EQ(Seconds("30", 44100), 1323000u);
    EXPECT_EQ(Seconds("0.5", 44100), 22050u);
    EXPECT_EQ(Seconds("0", 44100), 0u);
    EXPECT_EQ(Seconds("0.00002", 44100), 0u);          // 0.882 samples
    EXPECT_EQ(Seconds("0.0000227", 44100), 1u);        // 1.001 samples
    EXPECT_EQ(Seconds("1.000022675", 44100), 44100u);  // 44100.99997
    // 2.3 is not a double; as one, 2.3 * 100 = 229.99999999999997.
    EXPECT_EQ(Seconds("2.3", 100), 230u);
    EXPECT_EQ(Seconds("0.29", 100), 29u);
    EXPECT_EQ(Seconds("60", 100), 6000u);
    EXPECT_EQ(Seconds("10000000.999999999", 44100), 441000044099u);
}

TEST(CaptureSeconds, MalformedNumbersAreRefused)
{
    for (const char* text : {"", ".", "1.", ".5", "1.2.3", "-1", "+1", "1e3", "1,5", " 1", "1 ", "1.1234567890",
                             "10000001", "inf", "nan"}) {
        uint64_t units = 0;
        std::string error;
        EXPECT_FALSE(ParseSeconds(text, 44100, units, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(CaptureCommandLine, Frames)
{
    auto request = Accepted({"frames", "200"});
    EXPECT_EQ(request.command, CaptureCommand::Frames);
    EXPECT_EQ(request.frameCount, 200u);
    EXPECT_EQ(request.firstPrinted, 0u);
    EXPECT_TRUE(request.assetsDir.empty());

    request = Accepted({"--assets", "some dir", "frames", "10", "--from", "7"});
    EXPECT_EQ(request.assetsDir, "some dir");
    EXPECT_EQ(request.frameCount, 10u);
    EXPECT_EQ(request.firstPrinted, 7u);
    EXPECT_EQ(Accepted({"frames", "--from", "3", "5"}).firstPrinted, 3u);

    Refused({"frames"});
    Refused({"frames", "1", "2"});
    Refused({"frames", "x"});
    Refused({"frames", "-1"});
    Refused({"frames", "4294967296"});
    Refused({"frames", "5", "--from"});
    Refused({"frames", "5", "--from", "1", "--from", "2"});
    Refused({"frames", "5", "--to", "1"});
    Refused({"frames", "5", "--assets", "dir"});   // --assets comes before the command
}

TEST(CaptureCommandLine, Png)
{
    const auto request = Accepted({"png", "100", "frame.png"});
    EXPECT_EQ(request.command, CaptureCommand::Png);
    EXPECT_EQ(request.frameIndex, 100u);
    EXPECT_EQ(request.outputPath, "frame.png");

    Refused({"png", "100"});
    Refused({"png", "frame.png", "100"});
    Refused({"png", "1", "a.png", "b.png"});
    Refused({"png", "1", ""});
}

TEST(CaptureCommandLine, Sound)
{
    auto request = Accepted({"sound", "--calls", "8192,1764*2", "--wav", "out.wav"});
    EXPECT_EQ(request.command, CaptureCommand::Sound);
    EXPECT_FALSE(request.pacedCalls);
    ASSERT_EQ(request.calls.size(), 2u);
    EXPECT_EQ(request.calls[1].count, 2u);
    EXPECT_EQ(request.soundFile, SoundFileKind::Wav);
    EXPECT_EQ(request.outputPath, "out.wav");

    request = Accepted({"sound", "--raw", "out.raw", "--seconds", "2.5"});
    EXPECT_TRUE(request.pacedCalls);
    EXPECT_EQ(request.sampleCount, 110250u);
    EXPECT_EQ(request.soundFile, SoundFileKind::Raw);
    EXPECT_EQ(request.outputPath, "out.raw");

    Refused({"sound", "--wav", "a.wav"});
    Refused({"sound", "--seconds", "1"});
    Refused({"sound", "--seconds", "1", "--calls", "2", "--wav", "a.wav"});
    Refused({"sound", "--seconds", "1", "--wav", "a.wav", "--raw", "a.raw"});
    Refused({"sound", "--seconds", "x", "--wav", "a.wav"});
    Refused({"sound", "--calls", "1*0", "--wav", "a.wav"});
    Refused({"sound", "--seconds", "1", "--wav", "a.wav", "extra"});
    Refused({"sound", "--seconds", "1", "--wav"});
}

TEST(CaptureCommandLine, VideoTextPageAndTheRest)
{
    auto request = Accepted({"video", "60", "intro.mp4"});
    EXPECT_EQ(request.command, CaptureCommand::Video);
    EXPECT_EQ(request.videoFrames, 6000u);
    EXPECT_EQ(request.sampleCount, 2646000u);
    EXPECT_EQ(request.outputPath, "intro.mp4");
    request = Accepted({"video", "0.01", "one.mp4"});
    EXPECT_EQ(request.videoFrames, 1u);
    EXPECT_EQ(request.sampleCount, 441u);

    Refused({"video", "0", "a.mp4"});
    Refused({"video", "0.009", "a.mp4"});   // not one whole frame
    Refused({"video", "1"});

    EXPECT_EQ(Accepted({"textpage"}).command, CaptureCommand::TextPage);
    Refused({"textpage", "extra"});
    EXPECT_EQ(Accepted({"--help"}).command, CaptureCommand::Help);

    Refused({});
    Refused({"--assets"});
    Refused({"--assets", "", "textpage"});
    Refused({"--assets", "dir"});
    Refused({"sounds"});
    Refused({"--frames", "3"});
}
