// The wobbling page of text: 40 x 25 characters in a 16 x 16 one-bit font,
// each glyph recolouring the pixels under its set bits through the
// RecolourTable, so the text reads as a negative of the picture beneath it.
#pragma once

#include <cstdint>

#include "base/asset_bytes.h"

constexpr int GlyphCount = 80;   // room in GlyphBitmaps
constexpr int GlyphBytes = 32;   // 16 rows of two bytes
constexpr int TextColumns = 40;
constexpr int TextRows = 25;

// The page drawn, row after row with no separators, then a zero byte: the
// built-in page unless the user chose another (app/text_choice.h).
extern char TextPage[TextColumns * TextRows + 1];

// The page built into the program from its text page file at configure time
// (cmake/TextPage.cmake): assets/text_page.txt, or the QUILLMOOR_TEXT_PAGE
// of a release of one's own.
extern const char BuiltInTextPage[TextColumns * TextRows + 1];

struct TextState {
    uint8_t GlyphIndexTable[512] = {};   // glyph number of character code c
    // Glyph g at bytes 32g..32g+31: rows top to bottom, each a big-endian
    // 16-bit word whose bit 15 is the leftmost pixel.
    alignas(64) uint8_t GlyphBitmaps[GlyphCount * GlyphBytes] = {};
    // New index for a pixel under a glyph, a falling line (DrawGlyph works
    // the same line out in vector lanes); low byte counts.
    int32_t RecolourTable[256] = {};
    double WaveXPhase = 0.0;   // horizontal wobble, per column
    double WaveYPhase = 0.0;   // vertical wobble, per column + row
};

extern TextState Text;

// Back to the state at process start (no font, phases 0), in place.
void ResetText();

// Takes the font's two files: the character-to-glyph table and the glyphs.
// Either half can be taken alone (a font file replaced while the intro runs).
void LoadFont(const AssetBytes& glyphTable, const AssetBytes& glyphs);
void LoadGlyphTable(const AssetBytes& glyphTable);
void LoadGlyphs(const AssetBytes& glyphs);
void BuildRecolourTable();

// Recolours the pixels under the set bits of the glyph of `code`, its
// top-left pixel at picture (x, y). Draws nothing for a space, outside
// x -16..640 / y -16..400 (inside those the cell fits the WorkImage margins),
// for a code outside the table, or for a glyph number the bitmaps can't hold.
void DrawGlyph(int32_t x, int32_t y, int32_t code);

// Draws the whole page at this frame's wobble, then advances both phases.
void DrawTextPage();

// One frame's step of the two wobble phases (DrawTextPage's last act).
void AdvanceWavePhases();
