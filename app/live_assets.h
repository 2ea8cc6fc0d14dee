// The pieces of the intro that can be taken anew while it runs (a file
// dropped on the window, or one of the files the intro reads saved again
// under --watch): the song, the logo, the font's two halves and the text
// page. Each is read and checked before it replaces anything, so a file that
// can't be used leaves the piece as it was.
//
// Every piece but the song is drawn from the next frame on and keeps no state
// from earlier frames: the picture's animation runs on where it was, and the
// frame drawn is the one a run started with the new files draws at that turn.
#pragma once

#include <cstdint>
#include <string>

enum class Piece { Song, Logo, FontTable, FontGlyphs, TextPage };
inline constexpr int PieceCount = 5;

// "the song", "the logo", ... for the messages.
const char* PieceName(Piece piece);

// The piece a dropped file is, by its name's extension (any case): .bmp the
// logo, .txt the text page, .ftb and .gfx the font's halves, anything else a
// song.
Piece PieceOfFile(const std::string& path);

// Takes `path` as the piece now; false, with `reason` saying why and the
// piece as it was, when the file can't be read or is no such piece. The song
// is switched as a drop is (SwitchSong, sound_session.h).
bool TakePiece(Piece piece, const std::string& path, std::string& reason);

// Takes `path` as the piece, or names it on stderr with the reason, once
// ("cannot use PATH as the logo: WHY; the logo before stays").
void TakePieceOrWarn(Piece piece, const std::string& path);

// Files the intro follows: for each piece the path it was read from (empty:
// not followed). An editor saves in a burst of events (truncate, writes,
// close, or a new file renamed over the old); a piece is taken anew once its
// file has been quiet for SettleMilliseconds, or at the latest
// MostWaitMilliseconds after the burst began, so that a save is seen well
// within a quarter of a second and read once, whole.
inline constexpr double SettleMilliseconds = 40.0;
inline constexpr double MostWaitMilliseconds = 150.0;

struct FollowedFiles {
    std::string path[PieceCount];
    double firstChange[PieceCount] = {-1.0, -1.0, -1.0, -1.0, -1.0};   // negative: none pending
    double lastChange[PieceCount] = {};
};

// The files the intro reads now: the four assets where they were found, the
// song chosen, and the text page named (`textPage`; empty: the built-in page).
void FollowFilesRead(FollowedFiles& files, const std::string& textPage);

// The file of `piece` changed at `now` (milliseconds on any clock).
void NoteChange(FollowedFiles& files, Piece piece, double now);

// Takes anew every piece whose burst of changes has settled by `now`.
void TakeSettledChanges(FollowedFiles& files, double now);
