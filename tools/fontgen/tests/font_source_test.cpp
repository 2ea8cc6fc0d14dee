// The font source parser, the binary layouts, and the committed font and
// resource files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "font_source.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every label the font must hold, one per glyph number.
const char* const kLabels[] = {"A", "B", "C",     "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q",
                               "R", "S", "T",     "U", "V", "W", "X", "Y", "Z", "0", "1", "2", "3", "4", "5", "6", "7",
                               "8", "9", "space", "!", "?", ".", "(", ")", ":", "-", "=", "/", "'", "@", ",", "~", "_"};

using Block = std::vector<std::string>;

// A 2 x 2 square at (row, col): the smallest shape the design rules accept.
Block Square(int row, int col)
{
    Block rows(16, std::string(16, '.'));
    rows[row][col] = rows[row][col + 1] = rows[row + 1][col] = rows[row + 1][col + 1] = '#';
    return rows;
}

// A complete, valid source; `blocks` replaces the art of chosen labels.
std::string Source(const std::map<std::string, Block>& blocks = {})
{
    std::string text = "// test font\n";
    for (const char* label : kLabels) {
        auto it = blocks.find(label);
        const Block rows = it != blocks.end()              ? it->second
                           : std::string(label) == "space" ? Block(16, std::string(16, '.'))
                                                           : Square(5, 5);
        text += std::string("glyph ") + label + "\n";
        for (const std::string& row : rows) text += row + "\n";
        text += "\n";
    }
    return text;
}

// The line on which row `row` of the block labelled `label` sits in Source().
int LineOfRow(const std::string& text, const std::string& label, int row)
{
    const size_t at = text.find("glyph " + label + "\n");
    int line = 1;
    for (size_t i = 0; i < at; ++i) line += text[i] == '\n';
    return line + 1 + row;
}

TEST(FontNumbering, MapsEachListedCharacterAndNothingElse)
{
    std::array<int, 512> expected{};
    for (int i = 0; i < 26; ++i) expected['A' + i] = i;
    for (int i = 0; i < 10; ++i) expected['0' + i] = 26 + i;
    const std::pair<char, int> marks[] = {{' ', 36}, {'!', 40}, {'?', 41}, {'.', 42}, {'(', 44}, {')', 45}, {':', 46},
                                          {';', 46}, {'-', 47}, {'#', 47}, {'=', 48}, {'/', 49}, {'"', 50}, {'\'', 50},
                                          {'`', 50}, {'@', 51}, {',', 52}, {'~', 54}, {'_', 55}};
    for (auto [ch, glyph] : marks) expected[static_cast<unsigned char>(ch)] = glyph;

    const std::vector<uint8_t> table = fontgen::EncodeGlyphIndexTable();
    ASSERT_EQ(table.size(), 512u);
    for (int c = 0; c < 512; ++c) EXPECT_EQ(table[c], expected[c]) << "character code " << c;

    EXPECT_EQ(fontgen::GlyphNumberOfLabel("space"), 36);
    EXPECT_EQ(fontgen::GlyphNumberOfLabel(";"), 46);
    EXPECT_EQ(fontgen::GlyphNumberOfLabel("`"), 50);
    EXPECT_EQ(fontgen::GlyphNumberOfLabel("a"), -1);
    EXPECT_EQ(fontgen::GlyphNumberOfLabel(" "), -1);
    EXPECT_EQ(fontgen::GlyphNumberOfLabel("AB"), -1);
}

TEST(FontEncoding, RowsAreBigEndianWithBit15Leftmost)
{
    Block b = Square(1, 1);   // rows 1-2, columns 1-2
    Block underscore = Square(13, 13);
    underscore[3][7] = underscore[3][8] = underscore[4][7] = underscore[4][8] = '#';
    fontgen::Font font;
    tooltext::SourceError error;
    ASSERT_TRUE(fontgen::ParseFontSource(Source({{"B", b}, {"_", underscore}}), font, error)) << error.message;

    const std::vector<uint8_t> bytes = fontgen::EncodeGlyphBitmaps(font);
    ASSERT_EQ(bytes.size(), 56u * 32u);
    const uint8_t glyphB[32] = {0, 0, 0x60, 0, 0x60, 0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 32, bytes.begin() + 64), std::vector<uint8_t>(glyphB, glyphB + 32));
    const uint8_t* last = bytes.data() + 55 * 32;
    EXPECT_EQ(last[6], 0x01);   // row 3, columns 7-8 straddle the two bytes
    EXPECT_EQ(last[7], 0x80);
    EXPECT_EQ(last[26], 0x00);   // row 13, columns 13-14
    EXPECT_EQ(last[27], 0x06);
    EXPECT_EQ(last[29], 0x06);
    for (int g : {36, 37, 38, 39, 43, 53})
        for (int i = 0; i < 32; ++i) ASSERT_EQ(bytes[g * 32 + i], 0) << "glyph " << g;

    const std::vector<uint8_t> block = fontgen::EncodeBinTestBlock();
    ASSERT_EQ(block.size(), 512u);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 8), "BINTEST!");
    EXPECT_EQ(std::count(block.begin() + 8, block.end(), 0), 504);
}

TEST(FontSourceParser, AcceptsWindowsLineEndingsAndTrailingSpaces)
{
    std::string text = Source({{"Q", Square(2, 3)}});
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string(" \r\n") : std::string(1, c);
    fontgen::Font plain, windows;
    tooltext::SourceError error;
    ASSERT_TRUE(fontgen::ParseFontSource(text, plain, error)) << error.message;
    ASSERT_TRUE(fontgen::ParseFontSource(crlf, windows, error)) << error.message;
    EXPECT_EQ(fontgen::EncodeGlyphBitmaps(plain), fontgen::EncodeGlyphBitmaps(windows));
}

struct Malformed {
    const char* name;
    std::string text;
    int line;   // -1: not checked
    std::string message;
};

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(FontSourceParser, RefusesMalformedSourcesNamingTheLine)
{
    const std::string good = Source();
    const std::string blankRow = std::string(16, '.') + "\n";
    const int rowOfK = LineOfRow(good, "K", 0);
    Block thin = Square(5, 5);
    thin[9][9] = '#';
    Block edge = Square(5, 5);
    edge[7][14] = edge[7][15] = edge[8][14] = edge[8][15] = '#';
    Block dirtySpace(16, std::string(16, '.'));
    dirtySpace[4] = "....##..........";

    const Malformed cases[] = {
        {"short row", Replace(good, "glyph K\n" + blankRow, "glyph K\n...............\n"), rowOfK,
         "row has 15 pixels, expected 16"},
        {"long row", Replace(good, "glyph K\n" + blankRow, "glyph K\n.................\n"), rowOfK,
         "row has 17 pixels, expected 16"},
        {"foreign character", Replace(good, "glyph K\n" + blankRow, "glyph K\n.......x........\n"), rowOfK,
         "unexpected character 'x'"},
        {"too few rows", Replace(good, "glyph K\n" + blankRow, "glyph K\n"), LineOfRow(good, "K", 15),
         "glyph 'K' (line " + std::to_string(rowOfK - 1) + ") has 15 rows, expected 16"},
        {"too many rows", Replace(good, "glyph K\n", "glyph K\n" + blankRow), LineOfRow(good, "K", 16),
         "row outside a glyph block"},
        {"truncated at the end", good.substr(0, good.rfind(blankRow)), LineOfRow(good, "_", 15), "glyph '_'"},
        {"lower-case label", Replace(good, "glyph K\n", "glyph k\n"), rowOfK - 1,
         "\"k\" is not a character of the font"},
        {"two-character label", Replace(good, "glyph K\n", "glyph KK\n"), rowOfK - 1,
         "\"KK\" is not a character of the font"},
        {"unknown line", Replace(good, "// test font\n", "font 16\n"), 1, "expected \"glyph <character>\""},
        {"glyph drawn twice", Replace(good, "glyph K\n", "glyph A\n"), rowOfK - 1, "already drawn at line 2"},
        {"shared glyph drawn twice", Replace(good, "glyph -\n", "glyph #\n") + "glyph -\n", -1,
         "glyph '-' is glyph 47, already drawn at line"},
        {"rows without a glyph line", Replace(good, "glyph K\n", "// glyph K\n"), rowOfK, "row outside a glyph block"},
        {"thin stroke", Source({{"R", thin}}), LineOfRow(Source(), "R", 9),
         "glyph 'R' at row 9, column 9 has a stroke thinner"},
        {"pixel on the cell's edge", Source({{"M", edge}}), LineOfRow(Source(), "M", 7),
         "glyph 'M' at row 7, column 15 touches the edge"},
        {"drawn space", Source({{"space", dirtySpace}}), LineOfRow(Source(), "space", 4), "space glyph must be blank"},
    };
    for (const Malformed& c : cases) {
        fontgen::Font font;
        tooltext::SourceError error;
        EXPECT_FALSE(fontgen::ParseFontSource(c.text, font, error)) << c.name;
        if (c.line >= 0) {
            EXPECT_EQ(error.line, c.line) << c.name << ": " << error.message;
        }
        EXPECT_NE(error.message.find(c.message), std::string::npos) << c.name << ": " << error.message;
    }

    // A glyph left out altogether is named, with no line to point at.
    std::string withoutK = good;
    const size_t from = withoutK.find("glyph K\n");
    withoutK.erase(from, withoutK.find("glyph L\n") - from);
    fontgen::Font font;
    tooltext::SourceError error;
    EXPECT_FALSE(fontgen::ParseFontSource(withoutK, font, error));
    EXPECT_EQ(error.line, 0);
    EXPECT_EQ(error.message, "glyph 'K' (glyph 10) is missing");
}

// The committed files, checked for what the intro relies on.
TEST(CommittedFont, TableFilesCarryTheNumbering)
{
    const std::vector<uint8_t> table = ReadBytes(ASSETS_DIR "/FNT1616.FTB");
    EXPECT_EQ(table, fontgen::EncodeGlyphIndexTable());
    EXPECT_EQ(ReadBytes(ASSETS_DIR "/res102.bin"), table);
    EXPECT_EQ(ReadBytes(ASSETS_DIR "/res101.bin"), fontgen::EncodeBinTestBlock());
}

TEST(CommittedFont, EveryNumberedGlyphIsDrawnBoldAndInsideItsCell)
{
    const std::vector<uint8_t> gfx = ReadBytes(ASSETS_DIR "/FNT1616.GFX");
    ASSERT_EQ(gfx.size(), 1792u);
    auto pixel = [&](int g, int r, int c) {
        if (r < 0 || r > 15 || c < 0 || c > 15) return false;
        const int word = (gfx[g * 32 + 2 * r] << 8) | gfx[g * 32 + 2 * r + 1];
        return ((word >> (15 - c)) & 1) != 0;
    };
    for (int g = 0; g < 56; ++g) {
        const bool unused = g == 36 || g == 37 || g == 38 || g == 39 || g == 43 || g == 53;
        int set = 0;
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) {
                if (!pixel(g, r, c)) continue;
                ++set;
                EXPECT_TRUE(r > 0 && r < 15 && c > 0 && c < 15) << "glyph " << g << " row " << r << " col " << c;
                bool inSquare = false;
                for (int top = r - 1; top <= r; ++top)
                    for (int left = c - 1; left <= c; ++left)
                        inSquare = inSquare || (pixel(g, top, left) && pixel(g, top, left + 1) &&
                                                pixel(g, top + 1, left) && pixel(g, top + 1, left + 1));
                EXPECT_TRUE(inSquare) << "glyph " << g << " row " << r << " col " << c;
            }
        if (unused)
            EXPECT_EQ(set, 0) << "glyph " << g;
        else
            EXPECT_GE(set, 8) << "glyph " << g;
    }

    // No two characters of the page's alphabet may share a picture.
    for (int a = 0; a < 56; ++a)
        for (int b = a + 1; b < 56; ++b) {
            if (std::equal(gfx.begin() + 32 * a, gfx.begin() + 32 * a + 32, gfx.begin() + 32 * b) &&
                std::count(gfx.begin() + 32 * a, gfx.begin() + 32 * a + 32, 0) != 32)
                ADD_FAILURE() << "glyphs " << a << " and " << b << " are identical";
        }
}

TEST(CommittedFont, SourceParses)
{
    fontgen::Font font;
    tooltext::SourceError error;
    EXPECT_TRUE(fontgen::ParseFontSource(ReadText(FONT_SOURCE_PATH), font, error))
        << "line " << error.line << ": " << error.message;
}

}   // namespace
