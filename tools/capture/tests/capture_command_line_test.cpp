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
    EXPECT_EQ(runs[2].bytes, 7u);   // odd counts are calls too
    EXPECT_EQ(runs[3].bytes, 0u);   // so are empty ones
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

TEST(CaptureCount, LimitsBelowTen)
{
    uint64_t value = 0;
    EXPECT_TRUE(ParseCount("8", 8, value));
    EXPECT_EQ(value, 8u);
    EXPECT_FALSE(ParseCount("9", 8, value));
    EXPECT_FALSE(ParseCount("1", 0, value));
    EXPECT_TRUE(ParseCount("0", 0, value));
}

TEST(CaptureSeconds, ExactDecimalsRoundedDown)
{
    EXPECT_EQ(Seconds("30", 44100), 1323000u);
    EXPECT_EQ(Seconds("0.5", 44100), 22050u);
    EXPECT_EQ(Seconds("0", 44100), 0u);
    EXPECT_EQ(Seconds("0.00002", 44100), 0u);           // 0.882 samples
    EXPECT_EQ(Seconds("0.0000227", 44100), 1u);         // 1.001 samples
    EXPECT_EQ(Seconds("1.000022675", 44100), 44100u);   // 44100.99997
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
    // --assets before or after the command, with a space or "=".
    EXPECT_EQ(Accepted({"frames", "5", "--assets", "dir"}).assetsDir, "dir");
    EXPECT_EQ(Accepted({"frames", "5", "--assets=a=b"}).assetsDir, "a=b");
    EXPECT_EQ(Accepted({"--assets=dir", "frames", "--from=2", "5"}).firstPrinted, 2u);
    Refused({"frames", "5", "--assets="});
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

    const auto rgb = Accepted({"rgb", "7", "frame.rgb"});
    EXPECT_EQ(rgb.command, CaptureCommand::Rgb);
    EXPECT_EQ(rgb.frameIndex, 7u);
    Refused({"rgb", "7"});
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

    request = Accepted({"sound", "--seconds=1", "--wav=-", "--song", "x.dmp", "--dc-block", "--lead-in"});
    EXPECT_EQ(request.outputPath, "-");
    EXPECT_EQ(request.songPath, "x.dmp");
    EXPECT_TRUE(request.dcBlock);
    EXPECT_TRUE(request.leadIn);
    request = Accepted({"sound", "--seconds", "1", "--raw", "-"});
    EXPECT_EQ(request.outputPath, "-");
    EXPECT_FALSE(request.dcBlock);
    EXPECT_FALSE(request.leadIn);
    EXPECT_TRUE(request.songPath.empty());
    Refused({"sound", "--seconds", "1", "--raw", "-", "--song", ""});
    Refused({"sound", "--seconds", "1", "--raw", "-", "--dc-block=2"});
}

TEST(CaptureCallSpec, SampleTotalsBeyond64BitsAreRefused)
{
    // Each run asks for 2^23 * (2^32 - 1) samples, a little under 2^55: 512
    // of them fit in 64 bits, 513 do not.
    std::string spec = "16777216*4294967295";
    for (int i = 1; i < 512; i++) spec += ",16777216*4294967295";
    std::vector<CallRun> runs;
    std::string error;
    EXPECT_TRUE(ParseCallSpec(spec, runs, error)) << error;
    // Together 2^64 - 2^32 samples; 2^32 more is one too many.
    EXPECT_TRUE(ParseCallSpec(spec + ",16777216*511,8388606", runs, error)) << error;
    EXPECT_FALSE(ParseCallSpec(spec + ",16777216*512", runs, error));
    EXPECT_NE(error.find("more samples"), std::string::npos) << error;
}

TEST(CaptureCommandLine, VideoTextPageAndTheRest)
{
    auto request = Accepted({"video", "60", "intro.mp4"});
    EXPECT_EQ(request.command, CaptureCommand::Video);
    EXPECT_EQ(request.videoFrames, 3000u);   // 50 a second by default
    EXPECT_EQ(request.sampleCount, 2646000u);
    EXPECT_EQ(request.outputPath, "intro.mp4");
    EXPECT_EQ(request.videoFps, 50u);
    EXPECT_EQ(request.videoScale, 2u);
    EXPECT_EQ(request.videoQuality, DefaultVideoQuality);
    EXPECT_TRUE(request.dcBlock);
    request = Accepted({"video", "0.01", "one.mp4", "--fps=100", "--scale", "1", "--quality=0", "--exact-sound"});
    EXPECT_EQ(request.videoFrames, 1u);
    EXPECT_EQ(request.sampleCount, 441u);
    EXPECT_EQ(request.videoFps, 100u);
    EXPECT_EQ(request.videoScale, 1u);
    EXPECT_EQ(request.videoQuality, 0u);
    EXPECT_FALSE(request.dcBlock);
    EXPECT_EQ(Accepted({"video", "1", "a.mp4", "--scale", "8", "--quality", "51"}).videoScale, 8u);

    Refused({"video", "0", "a.mp4"});
    Refused({"video", "0.01", "a.mp4"});   // not one whole frame at 50 a second
    Refused({"video", "0.009", "a.mp4", "--fps", "100"});
    Refused({"video", "1"});
    for (const char* fps : {"25", "60", "0", "x", ""}) Refused({"video", "1", "a.mp4", "--fps", fps});
    for (const char* scale : {"0", "9", "-1", "2.5"}) Refused({"video", "1", "a.mp4", "--scale", scale});
    for (const char* quality : {"52", "-1", "x"}) Refused({"video", "1", "a.mp4", "--quality", quality});
    EXPECT_FALSE(Accepted({"video", "1", "a.mp4", "--chroma", "420"}).videoFullChroma);
    EXPECT_TRUE(Accepted({"video", "1", "a.mp4", "--chroma=444"}).videoFullChroma);
    for (const char* chroma : {"422", "4:4:4", ""}) Refused({"video", "1", "a.mp4", "--chroma", chroma});

    EXPECT_EQ(Accepted({"textpage"}).command, CaptureCommand::TextPage);
    Refused({"textpage", "extra"});
    // --text for the commands that draw the page, before or after the command.
    EXPECT_EQ(Accepted({"--text", "page.txt", "textpage"}).textPath, "page.txt");
    EXPECT_EQ(Accepted({"frames", "3", "--text=page.txt"}).textPath, "page.txt");
    EXPECT_EQ(Accepted({"png", "0", "a.png", "--text", "page.txt"}).textPath, "page.txt");
    Refused({"sound", "--seconds", "1", "--raw", "a.raw", "--text", "page.txt"});
    Refused({"--text", "", "textpage"});
    const auto help = Accepted({"--help"});
    EXPECT_EQ(help.command, CaptureCommand::Help);
    // The program's --help shows every command with its options.
    for (const char* shown : {"frames", "png", "rgb", "sound", "--calls", "video", "--chroma", "--exact-sound",
                              "textpage", "--assets", "--text"})
        EXPECT_NE(help.helpText.find(shown), std::string::npos) << shown;
    // The help names the default quality the tool uses.
    const std::string defaultCrf = "default " + std::to_string(DefaultVideoQuality) + ")";
    EXPECT_NE(Accepted({"video", "--help"}).helpText.find(defaultCrf), std::string::npos);
    EXPECT_NE(Accepted({"sound", "--seconds", "1", "--help"}).helpText.find("--song"), std::string::npos);
    EXPECT_EQ(Accepted({"--version"}).helpText.rfind("quillmoor-capture ", 0), 0u);

    Refused({});
    Refused({"--assets"});
    Refused({"--assets", "", "textpage"});
    Refused({"--assets", "dir"});
    Refused({"sounds"});
    Refused({"--frames", "3"});
}
