// The files a tool reads and writes: a failure that only shows when the file
// is flushed or read is still reported, with the file's name and reason.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "source_error.h"
#include "tool_files.h"

namespace {

class ToolFiles : public testing::Test {
protected:
    void SetUp() override
    {
        saved = ProgramName();
        SetProgramName("fontgen");
        folder = std::filesystem::path(testing::TempDir()) / "tool_files_test";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        SetProgramName(saved);
        std::filesystem::remove_all(folder);
    }

    const char* saved = nullptr;
    std::filesystem::path folder;
};

TEST_F(ToolFiles, WrittenBytesReadBackExactly)
{
    const std::string path = (folder / "out.bin").string();
    const std::vector<uint8_t> bytes = {'a', 0, '\r', '\n', 0xFF, '\n'};
    ASSERT_TRUE(tooltext::WriteFileBytes(path, bytes));
    std::string text = "left over";
    ASSERT_TRUE(tooltext::ReadTextFile(path, text));
    EXPECT_EQ(text, std::string(bytes.begin(), bytes.end()));
}

TEST_F(ToolFiles, ReadFailuresNameTheFileAndTheReason)
{
    std::string text;
    const std::string missing = (folder / "missing.txt").string();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tooltext::ReadTextFile(missing, text));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "fontgen: error: cannot read " + missing + ": No such file or directory\n");
    // A folder opens like a file on some systems; reading it still fails.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tooltext::ReadTextFile(folder.string(), text));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "fontgen: error: cannot read " + folder.string() + ": Is a directory\n");
}

TEST_F(ToolFiles, WriteFailureSeenOnlyAtTheFlushIsReported)
{
    // A few bytes to a full device fit in the buffer: only the close fails.
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tooltext::WriteFileBytes("/dev/full", std::vector<uint8_t>(16, 1)));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "fontgen: error: cannot write /dev/full: No space left on device\n");
}

TEST_F(ToolFiles, SourceErrorWithoutALineNamesTheFile)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(tooltext::ReportSourceError("font16.txt", {0, "glyph 'A' is missing"}), ExitFailure);
    EXPECT_EQ(tooltext::ReportSourceError("font16.txt", {7, "a stroke too thin"}), ExitFailure);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "fontgen: error: font16.txt: glyph 'A' is missing\nfont16.txt:7: error: a stroke too thin\n");
}

}   // namespace
