// Reading a text page from a plain text file's bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "picture/text_page.h"
#include "picture/text_page_source.h"

namespace {

using Page = char[TextColumns * TextRows + 1];

std::string Row(const Page& page, int row)
{
    return std::string(page + TextColumns * row, TextColumns);
}

TEST(TextPageSource, CommittedPageIsTheBuiltInOneWithEitherLineEnd)
{
    std::ifstream file(QUILLMOOR_ASSETS_DIR "/text_page.txt", std::ios::binary);
    const std::string lf{std::istreambuf_iterator<char>(file), {}};
    ASSERT_FALSE(lf.empty());
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& bytes : {lf, crlf}) {
        Page page = {};
        TextPageFault fault;
        ASSERT_TRUE(ParseTextPage(bytes, page, fault)) << fault.line << ":" << fault.column << ": " << fault.what;
        EXPECT_EQ(std::string(page), std::string(BuiltInTextPage));
    }
}

TEST(TextPageSource, ShortLinesAndMissingRowsAreSpacesAndLowerCaseIsCapitals)
{
    Page page = {};
    TextPageFault fault;
    ASSERT_TRUE(ParseTextPage("hello, World!\r\n\n  #~\"", page, fault)) << fault.what;
    EXPECT_EQ(Row(page, 0), "HELLO, WORLD!                           ");
    EXPECT_EQ(Row(page, 1), std::string(40, ' '));
    EXPECT_EQ(Row(page, 2), "  #~\"                                   ");
    for (int row = 3; row < TextRows; ++row) EXPECT_EQ(Row(page, row), std::string(40, ' ')) << row;
    EXPECT_EQ(page[TextColumns * TextRows], '\0');

    // Full size: 25 lines of 40, the last line end there or not.
    const std::string full = std::string(40, 'Q') + "\n";
    std::string lines;
    for (int row = 0; row < TextRows; ++row) lines += full;
    for (const std::string& bytes : {lines, lines.substr(0, lines.size() - 1)}) {
        ASSERT_TRUE(ParseTextPage(bytes, page, fault)) << fault.what;
        EXPECT_EQ(std::string(page), std::string(1000, 'Q'));
    }
    ASSERT_TRUE(ParseTextPage("", page, fault));
    EXPECT_EQ(std::string(page), std::string(1000, ' '));
}

TEST(TextPageSource, EachRefusalSaysWhereAndWhy)
{
    std::string lines;
    for (int row = 0; row < TextRows; ++row) lines += "A\n";
    const struct {
        std::string bytes;
        int line, column;
        const char* what;
    } cases[] = {
        {"AB\nC$D", 2, 2, "the font has no glyph for '$'"},
        {"A\tB", 1, 2, "the font has no glyph for '\\t'"},
        {"caf\xc3\xa9", 1, 4, "the font has no glyph for '\xc3\xa9'"},   // a whole UTF-8 character
        {"AB\r\n" + std::string(41, 'X'), 2, 41, "the line is longer than 40 characters"},
        {lines + "\n", 26, 1, "the page has more than 25 lines"},   // even an empty 26th line
        {std::string("A\0B", 3), 1, 2, "byte '\\x00' is not text"},
        {"A\rB\n", 1, 2, "byte '\\r' is not text"},      // CR only before LF
        {"\x89PNG", 1, 1, "byte '\\x89' is not text"},   // no UTF-8 lead byte
        {"AB\xc3(", 1, 3, "byte '\\xc3' is not text"},   // a sequence cut short
        {"\x7f", 1, 1, "byte '\\x7f' is not text"},
    };
    for (const auto& c : cases) {
        Page page;
        std::memset(page, 'K', sizeof page);
        TextPageFault fault;
        EXPECT_FALSE(ParseTextPage(c.bytes, page, fault)) << c.what;
        EXPECT_EQ(fault.line, c.line) << c.what;
        EXPECT_EQ(fault.column, c.column) << c.what;
        EXPECT_EQ(fault.what, c.what);
        EXPECT_EQ(page[0], 'K') << "a refused page must leave the page as it was";
    }
}

// The characters taken are those the committed font's table numbers (its
// entry 0, glyph 0, is 'A' and every code the font has no glyph for).
TEST(TextPageSource, FontCharactersAreThoseTheFontNumbers)
{
    std::ifstream file(QUILLMOOR_ASSETS_DIR "/FNT1616.FTB", std::ios::binary);
    const std::string table{std::istreambuf_iterator<char>(file), {}};
    ASSERT_EQ(table.size(), 512u);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(FontDrawsCharacter(static_cast<unsigned char>(c)), c == 'A' || table[c] != 0) << "code " << c;
}

}   // namespace
