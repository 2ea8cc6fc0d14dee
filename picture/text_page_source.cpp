#include "picture/text_page_source.h"

#include <cstring>

#include "base/error_report.h"

bool FontDrawsCharacter(unsigned char character)
{
    if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9')) return true;
    return character != '\0' && std::strchr(" !\"#'(),-./:;=?@_`~", character) != nullptr;
}

namespace {

// The length of the UTF-8 sequence that starts with `lead`, by its lead byte
// alone (0: no lead byte); the same reading Printable makes of a message.
size_t SequenceLength(unsigned char lead)
{
    return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// The character at `at` as the file holds it: one byte, or a whole UTF-8
// sequence; 0 when the byte there starts no text character.
size_t CharacterLength(std::string_view bytes, size_t at)
{
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte == '\t' || (byte >= 0x20 && byte < 0x7F)) return 1;
    const size_t length = SequenceLength(byte);
    if (length == 0 || at + length > bytes.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(bytes[at + i]) & 0xC0) != 0x80) return 0;
    return length;
}

bool Refuse(TextPageFault& fault, int line, int column, std::string what)
{
    fault = {line, column, std::move(what)};
    return false;
}

}   // namespace

bool ParseTextPage(std::string_view bytes, char (&page)[TextColumns * TextRows + 1], TextPageFault& fault)
{
    char parsed[TextColumns * TextRows + 1];
    std::memset(parsed, ' ', TextColumns * TextRows);
    parsed[TextColumns * TextRows] = '\0';
    int line = 1;
    int column = 0;   // characters of this line so far
    for (size_t at = 0; at < bytes.size();) {
        if (line > TextRows) return Refuse(fault, line, 1, "the page has more than 25 lines");
        const char byte = bytes[at];
        const bool crlf = byte == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n';
        if (byte == '\n' || crlf) {
            at += crlf ? 2 : 1;
            ++line;
            column = 0;
            continue;
        }
        if (++column > TextColumns) return Refuse(fault, line, column, "the line is longer than 40 characters");
        const size_t length = CharacterLength(bytes, at);
        if (length == 0)
            return Refuse(fault, line, column, "byte '" + Printable(bytes.substr(at, 1)) + "' is not text");
        unsigned char character = static_cast<unsigned char>(byte);
        if (character >= 'a' && character <= 'z') character = static_cast<unsigned char>(character - 'a' + 'A');
        if (length > 1 || !FontDrawsCharacter(character))
            return Refuse(fault, line, column,
                          "the font has no glyph for '" + Printable(bytes.substr(at, length)) + "'");
        parsed[TextColumns * (line - 1) + column - 1] = static_cast<char>(character);
        at += length;
    }
    std::memcpy(page, parsed, sizeof parsed);
    return true;
}
