// The one form every program and tool reports a failure in, and the escaping
// that keeps a binary file's bytes off the terminal.
#include <gtest/gtest.h>

#include <string>

#include "base/error_report.h"

namespace {

using namespace std::string_literals;

TEST(ErrorReport, PrintableKeepsTextAndEscapesTheRest)
{
    EXPECT_EQ(Printable("cannot read song.score: No such file"), "cannot read song.score: No such file");
    EXPECT_EQ(Printable("a\tb\r\nc"), "a\\tb\\r\\nc");
    EXPECT_EQ(Printable("\x1b[2J\x7f"s + '\0'), "\\x1b[2J\\x7f\\x00");
    // Well-formed UTF-8 is printable text: a name or a score may hold it.
    EXPECT_EQ(Printable("caf\xc3\xa9 \xe2\x86\x92 \xf0\x9f\x8e\xb5"), "caf\xc3\xa9 \xe2\x86\x92 \xf0\x9f\x8e\xb5");
    // Broken UTF-8 is not: a Latin-1 byte, an overlong lead, a sequence cut
    // short by the end or by a plain byte, a lone continuation byte.
    EXPECT_EQ(Printable("caf\xe9"), "caf\\xe9");
    EXPECT_EQ(Printable("\xc0\xaf"), "\\xc0\\xaf");
    EXPECT_EQ(Printable("\xe2\x86"), "\\xe2\\x86");
    EXPECT_EQ(Printable("\xe2"
                        "a"),
              "\\xe2a");
    EXPECT_EQ(Printable("\x80\xff"), "\\x80\\xff");
    EXPECT_EQ(Printable(""), "");
}

class ErrorReportForms : public testing::Test {
protected:
    void SetUp() override
    {
        saved = ProgramName();
        SetProgramName("songc");
    }
    void TearDown() override { SetProgramName(saved); }

    template <typename Report>
    static std::string Captured(Report report)
    {
        testing::internal::CaptureStderr();
        report();
        return testing::internal::GetCapturedStderr();
    }

    const char* saved = nullptr;
};

TEST_F(ErrorReportForms, ProgramOrFileAndLineFirst)
{
    EXPECT_EQ(Captured([] { ReportError("cannot write out.dmp"); }), "songc: error: cannot write out.dmp\n");
    EXPECT_EQ(Captured([] { ReportWarning("no sound device"); }), "songc: warning: no sound device\n");
    EXPECT_EQ(Captured([] { ReportErrorAt("tune.score", 12, "unknown keyword 'bogus'"); }),
              "tune.score:12: error: unknown keyword 'bogus'\n");
}

TEST_F(ErrorReportForms, EveryPartEscapedAndOneLineEach)
{
    EXPECT_EQ(Captured([] { ReportErrorAt("a\nb.score", 3, "unknown keyword '\x89PNG\r\n\x1a'"); }),
              "a\\nb.score:3: error: unknown keyword '\\x89PNG\\r\\n\\x1a'\n");
    EXPECT_EQ(Captured([] { ReportError("two\nlines"); }), "songc: error: two\\nlines\n");
}

}   // namespace
