#include "base/error_report.h"

#include <cstdio>

namespace {

const char* Program = "quillmoor";

void Report(std::string_view place, std::string_view kind, std::string_view what)
{
    const std::string line = std::string(place) + ": " + std::string(kind) + ": " + Printable(what) + "\n";
    std::fputs(line.c_str(), stderr);
}

}   // namespace

void SetProgramName(const char* name)
{
    Program = name;
}

const char* ProgramName()
{
    return Program;
}

void ReportError(std::string_view what)
{
    Report(Program, "error", what);
}

void ReportErrorAt(std::string_view file, int line, std::string_view what)
{
    Report(Printable(file) + ":" + std::to_string(line), "error", what);
}

void ReportWarning(std::string_view what)
{
    Report(Program, "warning", what);
}

namespace {

// The length of the well-formed UTF-8 sequence at `at` (a printable
// character of a file name or a message), or 0.
size_t Utf8Length(std::string_view text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    return length;
}

}   // namespace

std::string Printable(std::string_view text)
{
    static const char Hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            out += text[i];
        } else if (const size_t length = byte >= 0x80 ? Utf8Length(text, i) : 0) {
            out.append(text.substr(i, length));
            i += length - 1;
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\r') {
            out += "\\r";
        } else {
            out += "\\x";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        }
    }
    return out;
}
