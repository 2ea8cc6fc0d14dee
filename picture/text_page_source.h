// A text page from the bytes of a plain text file: up to 25 lines of up to
// 40 characters, each line ended by LF or CR LF (the last one may end
// without). Shorter lines and missing rows are spaces. Lower-case letters
// are taken as capitals; every other character must be one the font draws
// (FontDrawsCharacter). cmake/TextPageRules.cmake reads a page by the same
// rules at configure time, for the page built into the programs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "picture/text_page.h"

// Where and why a page file can't be a page: line and column count from 1,
// the column in characters.
struct TextPageFault {
    int line = 0;
    int column = 0;
    std::string what;
};

// A page that follows the rules is decided within its first bytes: every
// character it may hold is one byte, so 25 full lines with CR LF ends and
// one byte of a line too many say all there is to say.
constexpr size_t TextPageDecidingBytes = TextRows * (TextColumns + 2) + 1;

// The characters the built-in font draws: A-Z, 0-9, space and
// ! " # ' ( ) , - . / : ; = ? @ _ ` ~ (";" looks like ":", "#" like "-", and
// '"' and '`' like "'": they share those glyphs).
bool FontDrawsCharacter(unsigned char character);

// Fills `page` (1000 characters, row after row, and a zero byte) from the
// file's bytes; false with `fault` set, and `page` as it was, when the bytes
// break a rule.
bool ParseTextPage(std::string_view bytes, char (&page)[TextColumns * TextRows + 1], TextPageFault& fault);
