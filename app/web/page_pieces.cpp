// The pieces the page hands the program: a song, a logo, a font half or a
// text page the user chose (picked, dropped, or named in the address), each
// written into the program's file system where the program says and taken
// as the desktop program takes a dropped file (app/live_assets.h), with the
// reason said when it can't be used; and what the page needs to know to
// hand them over.
#include "app/web/page_pieces.h"

#include <emscripten.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "app/intro_run.h"
#include "app/live_assets.h"
#include "app/sound_session.h"
#include "base/stream_format.h"

namespace {

// Where the page writes a song the user chose (QuillmoorPlaySong).
constexpr char ChosenSongPath[] = "/chosen-song";

// Where it writes each other piece (QuillmoorTakePiece), by Piece.
constexpr const char* ChosenPaths[PieceCount] = {ChosenSongPath, "/chosen-logo.bmp", "/chosen-font.ftb",
                                                 "/chosen-font.gfx", "/chosen-text.txt"};

// Why the pieces named at the start or the last piece chosen can't be used,
// one line each, for the page to show; empty when all were taken.
std::string Reasons;

// The sentence for a piece that can't be used, as the desktop program warns.
std::string KeptReason(Piece piece, const std::string& reason)
{
    return reason + " (" + PieceName(piece) + " before stays)";
}

}   // namespace

// "--text=FILE" and "--logo=FILE": taken before the picture is set up, each
// checked as a chosen file is; one that can't be used is said in Reasons,
// and the intro's own stays. The logo stands in for the assets' file, which
// the picture's set-up reads.
void TakeNamedPieces(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const bool text = std::strncmp(argv[i], "--text=", 7) == 0;
        const bool logo = std::strncmp(argv[i], "--logo=", 7) == 0;
        if (!text && !logo) continue;
        const Piece piece = text ? Piece::TextPage : Piece::Logo;
        const std::string path = argv[i] + 7;
        std::string reason;
        bool taken = TakePiece(piece, path, reason);
        if (taken && logo && std::rename(path.c_str(), AssetPath(LogoFileName)) != 0) {
            reason = "cannot use " + path + " as the logo: " + std::strerror(errno);
            taken = false;
        }
        if (!taken) Reasons += KeptReason(piece, reason) + "\n";
    }
}

extern "C" {

// The page writes a song the user chose (picked, dropped or named by
// ?song=) to /chosen-song in the program's file system, cut to the bytes the
// player reads, and calls this: the song plays from its start, at once when
// the sound plays, and otherwise from the click on the overlay. Where no
// sound could be opened (no Web Audio) the song is only loaded, the picture
// running on in silence as before. 0 when it can't be played (the intro has
// ended, or the file isn't there), the song before playing on.
EMSCRIPTEN_KEEPALIVE int QuillmoorPlaySong()
{
    if (IntroClosed()) return 0;
    std::string reason;
    if (SwitchSong(ChosenSongPath, reason)) return 1;
    std::printf("cannot play the chosen song: %s\n", reason.c_str());
    return 0;
}

// The piece a file of this name is (PieceOfFile, live_assets.h; 0: a song),
// and where the page writes it.
EMSCRIPTEN_KEEPALIVE int QuillmoorPieceOfFile(const char* name)
{
    return static_cast<int>(PieceOfFile(name));
}

EMSCRIPTEN_KEEPALIVE const char* QuillmoorChosenPath(int piece)
{
    return piece >= 0 && piece < PieceCount ? ChosenPaths[piece] : "";
}

// "the logo", "the text page", ... for the page's messages.
EMSCRIPTEN_KEEPALIVE const char* QuillmoorPieceName(int piece)
{
    return piece >= 0 && piece < PieceCount ? PieceName(static_cast<Piece>(piece)) : "";
}

// The page wrote a logo, a font half or a text page the user chose at
// QuillmoorChosenPath(piece): it is read and checked as on the desktop and
// drawn from the next frame, the picture going on where it was. 1 when it
// was taken; 0, with the piece before kept and QuillmoorReasons saying why,
// when it can't be used. (A song goes through QuillmoorPlaySong.)
EMSCRIPTEN_KEEPALIVE int QuillmoorTakePiece(int piece)
{
    Reasons.clear();
    if (piece <= static_cast<int>(Piece::Song) || piece >= PieceCount) return 0;
    std::string reason;
    if (TakePiece(static_cast<Piece>(piece), ChosenPaths[piece], reason)) return 1;
    Reasons = KeptReason(static_cast<Piece>(piece), reason);
    return 0;
}

// Why the pieces named at the start (after main) or the last piece taken (a
// 0 from QuillmoorTakePiece) can't be used, one line each; the paths in it
// are the program's (QuillmoorChosenPath, or the ones named at the start).
EMSCRIPTEN_KEEPALIVE const char* QuillmoorReasons()
{
    return Reasons.c_str();
}

// What the page needs to hand over a song: where to write it, and the most
// of a file the player reads (the rest need not be copied).
EMSCRIPTEN_KEEPALIVE const char* QuillmoorChosenSongPath()
{
    return ChosenSongPath;
}

// The song the sound plays (the intro's own or the one chosen), for the
// page's audio thread to read.
EMSCRIPTEN_KEEPALIVE const char* QuillmoorSongPath()
{
    return SongPath();
}

EMSCRIPTEN_KEEPALIVE int QuillmoorSampleRate()
{
    return static_cast<int>(StreamSampleRate);
}

EMSCRIPTEN_KEEPALIVE int QuillmoorSongCap()
{
    return SongBufferSize;
}

}   // extern "C"
