// The font's text source and the binary files made from it.
//
// The source holds one 16 x 16 block per glyph, labelled with a character;
// the character's glyph number comes from the fixed numbering below. The
// binary files are the glyph bitmaps (32 bytes per glyph, big-endian 16-bit
// rows, bit 15 leftmost), the 512-byte character-to-glyph table, and the
// 512-byte "BINTEST!" block that the intro carries as an embedded resource.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "source_error.h"

namespace fontgen {

inline constexpr int kGlyphSize = 16;
inline constexpr int kGlyphCount = 56;   // highest glyph number is 55
inline constexpr int kGlyphBytes = 32;
inline constexpr int kTableSize = 512;

// One glyph: rows top to bottom, bit 15 the leftmost pixel.
using GlyphRows = std::array<uint16_t, kGlyphSize>;

struct Font {
    std::array<GlyphRows, kGlyphCount> glyphs{};
    std::array<bool, kGlyphCount> defined{};
};

// Character code -> glyph number; 0 for every code the numbering leaves out.
std::array<uint8_t, kTableSize> GlyphIndexTable();

// Glyph number of a source label ("A", ":", "space"), or -1.
int GlyphNumberOfLabel(std::string_view label);

// Parses the whole source. On failure returns false and describes the first
// fault in `error`; `font` then holds a partial result.
bool ParseFontSource(std::string_view text, Font& font, tooltext::SourceError& error);

std::vector<uint8_t> EncodeGlyphBitmaps(const Font& font);   // kGlyphCount * 32 bytes
std::vector<uint8_t> EncodeGlyphIndexTable();                // kTableSize bytes
std::vector<uint8_t> EncodeBinTestBlock();                   // "BINTEST!" + zeros, 512 bytes

}   // namespace fontgen
