#include "app/live_assets.h"

#include <cctype>

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "app/file_checks.h"
#include "app/sound_session.h"
#include "app/text_choice.h"
#include "base/error_report.h"
#include "picture/logo_overlay.h"
#include "picture/text_page.h"

namespace {

constexpr const char* Names[PieceCount] = {"the song", "the logo", "the font's glyph table", "the font's glyphs",
                                           "the text page"};

// A new file is read here and checked before it replaces the piece's own
// bytes (the loaders copy out of these).
uint8_t LogoBytes[sizeof Logo.LogoFileBuffer];
uint8_t GlyphTableBytes[sizeof Text.GlyphIndexTable];
uint8_t GlyphBytesRead[sizeof Text.GlyphBitmaps];

constexpr int32_t LogoFileBytes = LogoPixelOffset + LogoWidth * LogoHeight;

std::string Lowered(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const char* end)
{
    const std::string tail(end);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The file's bytes, or an empty result with `reason` when it can't be read.
AssetBytes ReadPieceFile(const std::string& path, uint8_t* buffer, size_t capacity, std::string& reason)
{
    if (!IsReadableFile(path, reason)) {
        reason = "cannot read " + path + ": " + reason;
        return {};
    }
    const AssetBytes read = ReadAsset(path.c_str(), buffer, capacity);
    if (read.fileSize < 0) reason = "cannot read " + path + ": it went as it was being read";
    return read;
}

// What is wrong with a file as the piece, or null when nothing is.
const char* LogoFault(const AssetBytes& logo)
{
    if (logo.fileSize < 2 || logo.bytes[0] != 'B' || logo.bytes[1] != 'M') return "it is not a BMP file";
    if (logo.fileSize < LogoFileBytes || logo.bytes.size() < LogoFileBytes)
        return "it is too short for a 632 x 246 picture of 8 bits a pixel";
    return nullptr;
}

const char* GlyphTableFault(const AssetBytes& table)
{
    if (table.fileSize != sizeof Text.GlyphIndexTable || table.bytes.size() != sizeof Text.GlyphIndexTable)
        return "a glyph table is 512 bytes, one glyph number for each character code";
    return nullptr;
}

const char* GlyphsFault(const AssetBytes& glyphs)
{
    if (glyphs.fileSize <= 0 || glyphs.fileSize % GlyphBytes != 0 ||
        glyphs.fileSize > static_cast<int32_t>(sizeof Text.GlyphBitmaps) ||
        glyphs.bytes.size() != static_cast<size_t>(glyphs.fileSize))
        return "the glyphs are 1 to 80 glyphs of 32 bytes";
    return nullptr;
}

// Reads the file, checks it with `fault` and hands it to `load`.
template <typename Fault, typename Load>
bool TakeChecked(Piece piece, const std::string& path, uint8_t* buffer, size_t capacity, Fault fault, Load load,
                 std::string& reason)
{
    const AssetBytes bytes = ReadPieceFile(path, buffer, capacity, reason);
    if (bytes.fileSize < 0) return false;
    if (const char* what = fault(bytes)) {
        reason = "cannot use " + path + " as " + PieceName(piece) + ": " + what;
        return false;
    }
    load(bytes);
    return true;
}

}   // namespace

const char* PieceName(Piece piece)
{
    return Names[static_cast<int>(piece)];
}

Piece PieceOfFile(const std::string& path)
{
    const std::string name = Lowered(path);
    if (EndsWith(name, ".bmp")) return Piece::Logo;
    if (EndsWith(name, ".txt")) return Piece::TextPage;
    if (EndsWith(name, ".ftb")) return Piece::FontTable;
    if (EndsWith(name, ".gfx")) return Piece::FontGlyphs;
    return Piece::Song;
}

bool TakePiece(Piece piece, const std::string& path, std::string& reason)
{
    switch (piece) {
    case Piece::Song:
        if (SwitchSong(path, reason)) return true;
        reason = "cannot read " + path + ": " + reason;
        return false;
    case Piece::Logo:
        return TakeChecked(piece, path, LogoBytes, sizeof LogoBytes, LogoFault, InitLogo, reason);
    case Piece::FontTable:
        return TakeChecked(piece, path, GlyphTableBytes, sizeof GlyphTableBytes, GlyphTableFault, LoadGlyphTable,
                           reason);
    case Piece::FontGlyphs:
        return TakeChecked(piece, path, GlyphBytesRead, sizeof GlyphBytesRead, GlyphsFault, LoadGlyphs, reason);
    case Piece::TextPage:
        return ChooseTextPage(path, reason);
    }
    return false;
}

void TakePieceOrWarn(Piece piece, const std::string& path)
{
    std::string reason;
    if (TakePiece(piece, path, reason)) return;
    const std::string kept = piece == Piece::Song ? std::string("the current song plays on")
                                                  : std::string(PieceName(piece)) + " before stays";
    ReportWarning(reason + " (" + kept + ")");
}

void FollowFilesRead(FollowedFiles& files, const std::string& textPage)
{
    files = FollowedFiles{};
    files.path[static_cast<int>(Piece::Song)] = SongPath();
    files.path[static_cast<int>(Piece::Logo)] = AssetPath(LogoFileName);
    files.path[static_cast<int>(Piece::FontTable)] = AssetPath(FontTableFileName);
    files.path[static_cast<int>(Piece::FontGlyphs)] = AssetPath(FontGlyphFileName);
    files.path[static_cast<int>(Piece::TextPage)] = textPage;
}

void NoteChange(FollowedFiles& files, Piece piece, double now)
{
    const int i = static_cast<int>(piece);
    if (files.path[i].empty()) return;
    if (files.firstChange[i] < 0.0) files.firstChange[i] = now;
    files.lastChange[i] = now;
}

void TakeSettledChanges(FollowedFiles& files, double now)
{
    for (int i = 0; i < PieceCount; ++i) {
        if (files.firstChange[i] < 0.0) continue;
        const bool quiet = now - files.lastChange[i] >= SettleMilliseconds;
        if (!quiet && now - files.firstChange[i] < MostWaitMilliseconds) continue;
        files.firstChange[i] = -1.0;
        TakePieceOrWarn(static_cast<Piece>(i), files.path[i]);
    }
}
