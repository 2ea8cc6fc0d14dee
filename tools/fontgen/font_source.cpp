#include "font_source.h"

#include <cstring>

#include "message.h"

namespace fontgen {

namespace {

using tooltext::Message;

// The fixed numbering: characters that share a glyph are listed together.
struct Numbering {
    const char* characters;
    int firstGlyph;   // glyph of the first character; a run counts upwards
    bool run;         // true: consecutive glyphs; false: all share firstGlyph
};

constexpr Numbering kNumbering[] = {
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, true},
    {"0123456789", 26, true},
    {" ", 36, false},
    {"!", 40, false},
    {"?", 41, false},
    {".", 42, false},
    {"(", 44, false},
    {")", 45, false},
    {":;", 46, false},
    {"-#", 47, false},
    {"=", 48, false},
    {"/", 49, false},
    {"\"'`", 50, false},
    {"@", 51, false},
    {",", 52, false},
    {"~", 54, false},
    {"_", 55, false},
};

constexpr int kSpaceGlyph = 36;

// Glyph number of one character code, -1 when the numbering leaves it out.
int GlyphOfCharacter(char ch)
{
    for (const Numbering& n : kNumbering) {
        const char* at = std::strchr(n.characters, ch);
        if (ch != '\0' && at) return n.firstGlyph + (n.run ? static_cast<int>(at - n.characters) : 0);
    }
    return -1;
}

// A printable name for messages: the label as written in the source.
std::string LabelOf(int glyph)
{
    if (glyph == kSpaceGlyph) return "space";
    for (int c = 33; c < 127; ++c)
        if (GlyphOfCharacter(static_cast<char>(c)) == glyph) return std::string(1, static_cast<char>(c));
    return Message('#', glyph);
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool IsSet(const GlyphRows& g, int row, int col)
{
    return row >= 0 && row < kGlyphSize && col >= 0 && col < kGlyphSize && ((g[row] >> (15 - col)) & 1) != 0;
}

// The design rules: nothing in the outer ring of the cell (neighbouring
// glyphs stay apart however the page wobbles), and every set pixel lies in
// a fully set 2 x 2 square, so no stroke is thinner than two pixels.
bool CheckDesign(const GlyphRows& g, int glyph, int firstRowLine, tooltext::SourceError& error)
{
    const std::string name = Message("glyph '", LabelOf(glyph), "'");
    if (glyph == kSpaceGlyph) {
        for (int r = 0; r < kGlyphSize; ++r)
            if (g[r] != 0) {
                error = {firstRowLine + r, "the space glyph must be blank"};
                return false;
            }
        return true;
    }
    for (int r = 0; r < kGlyphSize; ++r) {
        for (int c = 0; c < kGlyphSize; ++c) {
            if (!IsSet(g, r, c)) continue;
            const std::string where = Message(name, " at row ", r, ", column ", c);
            if (r == 0 || r == kGlyphSize - 1 || c == 0 || c == kGlyphSize - 1) {
                error = {firstRowLine + r,
                         where + " touches the edge of the cell (rows 0 and 15, columns 0 and 15 stay empty)"};
                return false;
            }
            bool inSquare = false;
            for (int top = r - 1; top <= r && !inSquare; ++top)
                for (int left = c - 1; left <= c && !inSquare; ++left)
                    inSquare = IsSet(g, top, left) && IsSet(g, top, left + 1) && IsSet(g, top + 1, left) &&
                               IsSet(g, top + 1, left + 1);
            if (!inSquare) {
                error = {firstRowLine + r, where + " has a stroke thinner than 2 pixels"};
                return false;
            }
        }
    }
    return true;
}

}   // namespace

std::array<uint8_t, kTableSize> GlyphIndexTable()
{
    std::array<uint8_t, kTableSize> table{};
    for (int c = 1; c < 128; ++c) {
        const int g = GlyphOfCharacter(static_cast<char>(c));
        if (g >= 0) table[c] = static_cast<uint8_t>(g);
    }
    return table;
}

int GlyphNumberOfLabel(std::string_view label)
{
    if (label == "space") return kSpaceGlyph;
    if (label.size() != 1 || label[0] == ' ') return -1;
    return GlyphOfCharacter(label[0]);
}

bool ParseFontSource(std::string_view text, Font& font, tooltext::SourceError& error)
{
    font = Font{};
    std::array<int, kGlyphCount> definedAt{};   // line of each glyph's label
    int glyph = -1;                             // glyph whose rows are being read
    int rowsRead = 0;
    int labelLine = 0;
    int lineNumber = 0;

    auto fail = [&](int line, const std::string& what) {
        error = {line, what};
        return false;
    };
    auto shortBlock = [&](int line) {
        return fail(
            line, Message("glyph '", LabelOf(glyph), "' (line ", labelLine, ") has ", rowsRead, " rows, expected 16"));
    };

    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        const std::string_view line = TrimRight(text.substr(pos, end - pos));
        const bool atEnd = end == text.size();
        pos = end + 1;
        ++lineNumber;
        if (atEnd && line.empty()) break;

        const bool isRow = !line.empty() && line.find_first_not_of("#.") == std::string_view::npos;
        if (glyph >= 0) {
            if (line.empty() || line.starts_with("//") || line.starts_with("glyph")) return shortBlock(lineNumber);
            if (!isRow) {
                const size_t bad = line.find_first_not_of("#.");
                return fail(lineNumber, Message("unexpected character '", line[bad],
                                                "' in a row (use '#' for set and '.' for clear)"));
            }
            if (line.size() != kGlyphSize)
                return fail(lineNumber, Message("row has ", line.size(), " pixels, expected 16"));
            uint16_t bits = 0;
            for (int c = 0; c < kGlyphSize; ++c)
                if (line[c] == '#') bits |= static_cast<uint16_t>(0x8000u >> c);
            font.glyphs[glyph][rowsRead++] = bits;
            if (rowsRead == kGlyphSize) {
                if (!CheckDesign(font.glyphs[glyph], glyph, labelLine + 1, error)) return false;
                glyph = -1;
            }
            continue;
        }

        if (line.empty() || line.starts_with("//")) continue;
        if (isRow)
            return fail(lineNumber, "row outside a glyph block (more than 16 rows, or no \"glyph\" line before it)");
        if (!line.starts_with("glyph "))
            return fail(lineNumber, Message("expected \"glyph <character>\", found \"", line, "\""));

        std::string_view label = line.substr(6);
        while (!label.empty() && label.front() == ' ') label.remove_prefix(1);
        const int number = GlyphNumberOfLabel(label);
        if (number < 0)
            return fail(lineNumber,
                        Message("\"", label, "\" is not a character of the font (one character, or \"space\")"));
        if (font.defined[number])
            return fail(lineNumber, Message("glyph '", label, "' is glyph ", number, ", already drawn at line ",
                                            definedAt[number]));
        font.defined[number] = true;
        definedAt[number] = lineNumber;
        glyph = number;
        rowsRead = 0;
        labelLine = lineNumber;
    }
    if (glyph >= 0) return shortBlock(lineNumber);

    for (int c = 32; c < 127; ++c) {
        const int g = GlyphOfCharacter(static_cast<char>(c));
        if (g >= 0 && !font.defined[g]) {
            error = {0, Message("glyph '", LabelOf(g), "' (glyph ", g, ") is missing")};
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> EncodeGlyphBitmaps(const Font& font)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(kGlyphCount * kGlyphBytes);
    for (const GlyphRows& g : font.glyphs)
        for (uint16_t row : g) {
            bytes.push_back(static_cast<uint8_t>(row >> 8));
            bytes.push_back(static_cast<uint8_t>(row & 0xFF));
        }
    return bytes;
}

std::vector<uint8_t> EncodeGlyphIndexTable()
{
    const std::array<uint8_t, kTableSize> table = GlyphIndexTable();
    return {table.begin(), table.end()};
}

std::vector<uint8_t> EncodeBinTestBlock()
{
    std::vector<uint8_t> bytes(kTableSize, 0);
    std::memcpy(bytes.data(), "BINTEST!", 8);
    return bytes;
}

}   // namespace fontgen
