// Reading a text page from a plain text file's bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "picture/text_page_source.h"

namespace {

using Page = char[TextColumns * TextRows + 1];

TEST(TextPageSource, PadsShortLinesAndRowsAndTakesLowerCaseAsCapitals)
{
    Page page = {};
    TextPageFault fault;
    ASSERT_TRUE(ParseTextPage("hello, World!\r\n\n  #~\"", page, fault)) << fault.what;
    EXPECT_EQ(std::string(page), "HELLO, WORLD!" + std::string(27 + 40 + 2, ' ') + "#~\"" + std::string(35 + 880, ' '));
    std::string full;   // 25 lines of 40, the last without its line end
    for (int row = 0; row < TextRows; ++row) full += std::string(40, 'Q') + "\n";
    full.pop_back();
    ASSERT_TRUE(ParseTextPage(full, page, fault)) << fault.what;
    EXPECT_EQ(std::string(page), std::string(1000, 'Q'));
}

TEST(TextPageSource, EachRefusalSaysWhereAndWhy)
{
    const std::string page25(25, '\n');
    const struct {
        std::string bytes;
        int line, column;
        const char* what;
    } cases[] = {
        {"AB\nC$D", 2, 2, "the font has no glyph for '$'"},
        {"A\tB", 1, 2, "the font has no glyph for '\\t'"},
        {"caf\xc3\xa9", 1, 4, "the font has no glyph for '\xc3\xa9'"},   // a whole UTF-8 character
        {"AB\r\n" + std::string(41, 'X'), 2, 41, "the line is longer than 40 characters"},
        {page25 + "\n", 26, 1, "the page has more than 25 lines"},   // even an empty 26th line
        {std::string("A\0B", 3), 1, 2, "byte '\\x00' is not text"},
        {"A\rB\n", 1, 2, "byte '\\r' is not text"},      // CR only before LF
        {"AB\xc3(", 1, 3, "byte '\\xc3' is not text"},   // a UTF-8 sequence cut short
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

// The characters taken are those the committed font numbers (entry 0,
// glyph 0, is 'A' and every code the font has no glyph for).
TEST(TextPageSource, FontCharactersAreThoseTheFontNumbers)
{
    std::ifstream file(QUILLMOOR_ASSETS_DIR "/FNT1616.FTB", std::ios::binary);
    const std::string table{std::istreambuf_iterator<char>(file), {}};
    ASSERT_EQ(table.size(), 512u);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(FontDrawsCharacter(static_cast<unsigned char>(c)), c == 'A' || table[c] != 0) << "code " << c;
}

}   // namespace

// Every byte value, alone and after a full line, is either taken or refused
// at its own place (the whole range, where the sanitizer builds would see a
// read past the bytes or the page).
TEST(TextPageSource, EveryByteIsTakenOrRefusedWhereItStands)
{
    Page page = {};
    for (int value = 0; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        for (const std::string& bytes : {std::string(1, byte), std::string(40, 'A') + byte}) {
            TextPageFault fault;
            if (ParseTextPage(bytes, page, fault)) continue;
            EXPECT_EQ(fault.line, 1) << value;
            EXPECT_EQ(fault.column, static_cast<int>(bytes.size())) << value;
            EXPECT_FALSE(fault.what.empty()) << value;
        }
    }
}
