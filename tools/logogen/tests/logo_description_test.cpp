// The logo description's parser, the drawing rules, the bitmap layout, and
// the committed logo file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "logo_description.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

const std::string kRamp = "ramp 0 000000\nramp 255 ffffff\n";

// One upright bar, 10 wide and 100 high: its box is centred on the canvas,
// so it covers columns 311-320 and rows 60-159.
std::vector<uint8_t> Render(const std::string& settings)
{
    const std::string text = "stroke 10\nheight 100\ntop 60\ngradient 200 100\n" + settings + kRamp +
                             "letter I 10\n  line 5 0 5 100\nend\n";
    logogen::LogoDescription logo;
    tooltext::SourceError parseError;
    EXPECT_TRUE(logogen::ParseLogoDescription(text, logo, parseError)) << parseError.message;
    std::vector<uint8_t> pixels;
    std::string renderError;
    EXPECT_TRUE(logogen::RenderLogo(logo, pixels, renderError)) << renderError;
    return pixels;
}

int At(const std::vector<uint8_t>& pixels, int x, int y)
{
    return pixels[static_cast<size_t>(y) * logogen::kWidth + x];
}

TEST(LogoDrawing, BodyOutlineShadowInlineAndCutsLandOnTheExpectedPixels)
{
    const std::vector<uint8_t> p = Render(
        "outline 2\nshadow 3 3\ninline 3 1\ncut 50 2\ncolour outline 50\ncolour shadow 20\n"
        "colour inline 150\n");
    ASSERT_EQ(p.size(), 632u * 246u);

    // Body: a gradient from 200 at the top edge to 100 at the bottom edge,
    // sampled at pixel centres.
    EXPECT_EQ(At(p, 318, 60), 200);
    EXPECT_EQ(At(p, 318, 159), 101);
    EXPECT_EQ(At(p, 311, 100), 160);   // the edge columns belong to the body
    EXPECT_EQ(At(p, 320, 100), 160);

    // Inline: the column whose centre lies 3.5 pixels inside the left edge.
    EXPECT_EQ(At(p, 314, 100), 150);
    EXPECT_EQ(At(p, 317, 100), 150);
    EXPECT_EQ(At(p, 313, 100), 160);
    EXPECT_EQ(At(p, 315, 100), 160);

    // Outline: two pixels all round.
    for (int x : {309, 310, 321, 322}) EXPECT_EQ(At(p, x, 100), 50) << x;
    EXPECT_EQ(At(p, 315, 58), 50);
    EXPECT_EQ(At(p, 315, 160), 50);

    // Shadow: the outlined bar moved 3 right and 3 down, behind everything.
    for (int x : {323, 324, 325}) EXPECT_EQ(At(p, x, 100), 20) << x;
    EXPECT_EQ(At(p, 326, 100), 0);
    EXPECT_EQ(At(p, 308, 100), 0);
    EXPECT_EQ(At(p, 315, 57), 0);
    EXPECT_EQ(At(p, 315, 162), 20);

    // The cut: rows whose centres lie 50 to 52 below the top are empty.
    EXPECT_EQ(At(p, 318, 109), 151);
    EXPECT_EQ(At(p, 318, 110), 0);
    EXPECT_EQ(At(p, 318, 111), 0);
    EXPECT_EQ(At(p, 309, 111), 0);
    EXPECT_NE(At(p, 318, 112), 0);

    // Nothing else on the canvas. Bar and outline: 14 x 104 less one pixel
    // at each rounded corner; the shadow adds what the shifted copy does not
    // share with it (1452 - 1109); the cut takes 2 rows of 14 + 3.
    int lit = 0;
    for (uint8_t v : p) lit += v != 0;
    EXPECT_EQ(lit, 1452 + (1452 - 1109) - 2 * (14 + 3));
}

TEST(LogoDrawing, TransparentPartsLeaveSeeThroughLines)
{
    // Outline 2 wide, 1 pixel clear of the bar; the inline drawn in index 0.
    const std::vector<uint8_t> p = Render("outline 2 1\ninline 3 1\ncolour outline 50\ncolour inline 0\n");
    EXPECT_EQ(At(p, 311, 100), 160);   // bar
    EXPECT_EQ(At(p, 310, 100), 0);     // gap
    EXPECT_EQ(At(p, 309, 100), 50);    // outline
    EXPECT_EQ(At(p, 308, 100), 50);
    EXPECT_EQ(At(p, 307, 100), 0);
    EXPECT_EQ(At(p, 321, 100), 0);
    EXPECT_EQ(At(p, 322, 100), 50);
    EXPECT_EQ(At(p, 315, 59), 0);
    EXPECT_EQ(At(p, 315, 58), 50);
    EXPECT_EQ(At(p, 314, 100), 0);   // inline, both sides
    EXPECT_EQ(At(p, 317, 100), 0);
    EXPECT_EQ(At(p, 315, 100), 160);
}

TEST(LogoDrawing, SlantLeansTheTopsRight)
{
    const std::vector<uint8_t> p = Render("slant 0.1\n");
    // The box is 20 wide with the lean: left edge 306; the top row shifts by
    // about 10 pixels, the bottom row by almost nothing.
    EXPECT_EQ(At(p, 315, 60), 0);
    EXPECT_NE(At(p, 316, 60), 0);
    EXPECT_NE(At(p, 325, 60), 0);
    EXPECT_EQ(At(p, 326, 60), 0);
    EXPECT_EQ(At(p, 305, 159), 0);
    EXPECT_NE(At(p, 306, 159), 0);
    EXPECT_NE(At(p, 315, 159), 0);
    EXPECT_EQ(At(p, 316, 159), 0);
}

TEST(LogoDrawing, BevelLightsEdgesFacingTheUpperLeftAndKeepsEveryPixelNonZero)
{
    const std::vector<uint8_t> flat = Render("");
    const std::vector<uint8_t> lit = Render("bevel 2 40\n");
    EXPECT_GT(At(lit, 318, 60), At(flat, 318, 60));     // top edge faces the light
    EXPECT_GT(At(lit, 311, 100), At(flat, 311, 100));   // so does the left edge
    EXPECT_LT(At(lit, 318, 159), At(flat, 318, 159));   // bottom and right face away
    EXPECT_LT(At(lit, 320, 100), At(flat, 320, 100));
    EXPECT_EQ(At(lit, 316, 100), At(flat, 316, 100));   // deep inside: no change

    // A bevel strong enough to push indices below 1 is held at 1: a logo
    // pixel never becomes transparent.
    const std::vector<uint8_t> harsh = Render("bevel 3 400\n");
    for (int y = 60; y < 160; ++y)
        for (int x = 311; x <= 320; ++x) ASSERT_NE(At(harsh, x, y), 0) << x << "," << y;
}

TEST(LogoDrawing, RefusesArtworkThatRunsOffTheCanvas)
{
    std::string error;
    logogen::LogoDescription logo;
    tooltext::SourceError parseError;
    ASSERT_TRUE(logogen::ParseLogoDescription("stroke 10\nheight 240\ntop 2\ngradient 9 9\n" + kRamp +
                                                  "letter I 10\n line 5 0 5 240\nend\n",
                                              logo, parseError));
    std::vector<uint8_t> pixels;
    EXPECT_TRUE(logogen::RenderLogo(logo, pixels, error)) << error;
    logo.outline = 3;   // now the outline reaches rows 0 and 245
    EXPECT_FALSE(logogen::RenderLogo(logo, pixels, error));
    EXPECT_NE(error.find("reaches the edge of the canvas"), std::string::npos) << error;
}

TEST(LogoBitmap, StoresRowsBottomUpAfterTheColourTable)
{
    std::vector<uint8_t> pixels(632 * 246, 0);
    pixels[5] = 200;                // top row, column 5
    pixels[245 * 632 + 631] = 77;   // bottom row, last column
    std::array<uint32_t, 256> palette{};
    palette[1] = 0x123456;
    palette[255] = 0xFFEEDD;
    const std::vector<uint8_t> file = logogen::EncodeBitmap(pixels, palette);
    ASSERT_EQ(file.size(), 156550u);
    EXPECT_EQ(file[1078 + 245 * 632 + 5], 200);   // top row stored last
    EXPECT_EQ(file[1078 + 631], 77);              // bottom row stored first
    EXPECT_EQ(std::count(file.begin() + 1078, file.end(), 0), 632 * 246 - 2);
    const uint8_t entry1[4] = {0x56, 0x34, 0x12, 0}, entry255[4] = {0xDD, 0xEE, 0xFF, 0};
    EXPECT_TRUE(std::equal(entry1, entry1 + 4, file.begin() + 54 + 4));
    EXPECT_TRUE(std::equal(entry255, entry255 + 4, file.begin() + 54 + 255 * 4));
}

TEST(LogoBitmap, RampInterpolatesEachChannelBetweenStops)
{
    logogen::LogoDescription logo;
    logo.ramp = {{0, 0xFF0000}, {10, 0x0A1400}, {255, 0xFFFFFF}};
    const std::array<uint32_t, 256> palette = logogen::RampPalette(logo);
    EXPECT_EQ(palette[0], 0xFF0000u);
    EXPECT_EQ(palette[5], 0x850A00u);   // red falls 255 -> 10, green rises 0 -> 20
    EXPECT_EQ(palette[10], 0x0A1400u);
    EXPECT_EQ(palette[255], 0xFFFFFFu);
    for (int i = 10; i < 255; ++i) EXPECT_LE(palette[i] & 0xFF, palette[i + 1] & 0xFF);
}

struct Malformed {
    const char* name;
    std::string text;
    int line;
    const char* message;
};

TEST(LogoDescriptionParser, RefusesMalformedDescriptionsNamingTheLine)
{
    const std::string head = "stroke 10\nheight 100\ntop 60\ngradient 200 100\n";   // lines 1-4
    const std::string letter = "letter I 10\n line 5 0 5 100\nend\n";
    const Malformed cases[] = {
        {"unknown keyword", head + "glow 3\n" + kRamp + letter, 5, "unknown keyword \"glow\""},
        {"missing value", head + "spacing\n" + kRamp + letter, 5, "\"spacing\" takes 1 value, found 0"},
        {"extra value", head + "shadow 1 2 3\n" + kRamp + letter, 5, "\"shadow\" takes 2 values, found 3"},
        {"not a number", head + "spacing wide\n" + kRamp + letter, 5, "\"wide\" is not a number"},
        {"zero stroke", "stroke 0\n", 1, "must be above 0"},
        {"given twice", head + "top 61\n" + kRamp + letter, 5, "\"top\" is given twice"},
        {"transparent body", "gradient 0 100\n", 1, "colour index 0 is outside 1-255 (0 is the transparent"},
        {"colour beyond the palette", head + "colour outline 256\n", 5, "colour index 256 is outside 0-255"},
        {"outline with three values", head + "outline 1 2 3\n", 5, "\"outline\" takes a width and an optional gap"},
        {"body colour out of range", "gradient 1 256\n", 1, "colour index 256 is outside 1-255"},
        {"unknown colour part", head + "colour glow 9\n", 5, "unknown colour \"glow\""},
        {"fractional shadow", head + "shadow 1.5 2\n", 5, "whole number"},
        {"falling ramp", head + "ramp 0 000000\nramp 40 102030\nramp 30 000000\n", 7, "ramp stops must rise"},
        {"bad colour", head + "ramp 0 00000g\n", 5, "not a colour"},
        {"short colour", head + "ramp 0 fff\n", 5, "not a colour"},
        {"ramp without 255", head + "ramp 0 000000\nramp 254 ffffff\n" + letter, 0, "stops at 0 and at 255"},
        {"stroke outside a letter", head + kRamp + "line 0 0 1 1\n", 7, "\"line\" outside a letter"},
        {"setting inside a letter", head + kRamp + "letter I 10\n line 5 0 5 100\noutline 2\n", 9, "inside letter I"},
        {"letter inside a letter", head + kRamp + "letter I 10\nletter J 10\n", 8, "starts inside letter I"},
        {"unclosed letter", head + kRamp + "letter I 10\n line 5 0 5 100\n", 0, "letter I is not closed"},
        {"end without letter", head + kRamp + "end\n", 7, "\"end\" without a letter"},
        {"empty letter", head + kRamp + "letter I 10\nend\n", 8, "letter I has no strokes"},
        {"letter without width", head + kRamp + "letter I\n", 7, "takes a name, a width"},
        {"point line", head + kRamp + "letter I 10\n line 5 5 5 5\n", 8, "line has no length"},
        {"backwards arc", head + kRamp + "letter O 10\n arc 5 5 4 4 90 0\n", 8, "clockwise"},
        {"missing stroke width", "height 100\ntop 60\ngradient 200 100\n" + kRamp + letter, 0,
         "\"stroke\" is not given"},
        {"no letters", head + kRamp, 0, "no letters"},
    };
    for (const Malformed& c : cases) {
        logogen::LogoDescription logo;
        tooltext::SourceError error;
        EXPECT_FALSE(logogen::ParseLogoDescription(c.text, logo, error)) << c.name;
        EXPECT_EQ(error.line, c.line) << c.name << ": " << error.message;
        EXPECT_NE(error.message.find(c.message), std::string::npos) << c.name << ": " << error.message;
    }
}

// The committed bitmap: what the intro and ordinary viewers rely on.
TEST(CommittedLogo, IsAnUncompressedBottomUp8BitBitmapOfTheFixedLayout)
{
    const std::vector<uint8_t> file = ReadBytes(LOGO_FILE_PATH);
    ASSERT_EQ(file.size(), 156550u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), 156550u);   // file size
    EXPECT_EQ(U32(file, 6), 0u);        // reserved
    EXPECT_EQ(U32(file, 10), 1078u);    // pixel data offset
    EXPECT_EQ(U32(file, 14), 40u);      // information header size
    EXPECT_EQ(U32(file, 18), 632u);     // width
    EXPECT_EQ(U32(file, 22), 246u);     // height, positive: bottom-up
    EXPECT_EQ(U16(file, 26), 1u);       // planes
    EXPECT_EQ(U16(file, 28), 8u);       // bits per pixel
    EXPECT_EQ(U32(file, 30), 0u);       // no compression
    EXPECT_EQ(U32(file, 34), 632u * 246u);
    EXPECT_EQ(U32(file, 46), 256u);   // colours in the table
    for (int i = 0; i < 256; ++i) EXPECT_EQ(file[54 + 4 * i + 3], 0) << "colour " << i;
}

TEST(CommittedLogo, ArtworkFillsMostOfTheWidthAndStaysInsideTheCanvas)
{
    const std::vector<uint8_t> file = ReadBytes(LOGO_FILE_PATH);
    ASSERT_EQ(file.size(), 156550u);
    int left = 632, right = -1, top = 246, bottom = -1, lit = 0;
    for (int stored = 0; stored < 246; ++stored)
        for (int x = 0; x < 632; ++x)
            if (file[1078 + stored * 632 + x] != 0) {
                const int y = 245 - stored;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
                ++lit;
            }
    EXPECT_GT(left, 0);
    EXPECT_LT(right, 631);
    EXPECT_GT(top, 0);
    EXPECT_LT(bottom, 245);
    EXPECT_GE(right - left + 1, 560);   // the word spans most of the 632 columns
    EXPECT_GE(bottom - top + 1, 150);
    EXPECT_GT(lit, 632 * 246 / 4);
    EXPECT_LT(lit, 632 * 246 * 3 / 4);
}

TEST(CommittedLogo, DescriptionParsesAndRenders)
{
    std::ifstream in(LOGO_DESCRIPTION_PATH, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    logogen::LogoDescription logo;
    tooltext::SourceError error;
    ASSERT_TRUE(logogen::ParseLogoDescription(text, logo, error)) << error.line << ": " << error.message;
    EXPECT_EQ(logo.letters.size(), 9u);
    std::vector<uint8_t> pixels;
    std::string renderError;
    EXPECT_TRUE(logogen::RenderLogo(logo, pixels, renderError)) << renderError;
}

}   // namespace
