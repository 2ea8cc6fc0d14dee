#include "app/chosen_files.h"

#include "app/file_checks.h"
#include "app/live_assets.h"
#include "app/sound_session.h"
#include "base/error_report.h"

namespace {

int DroppedSongs = 0;   // songs of the drop so far

}   // namespace

bool TakeNamedPaths(const std::string& assetsFolder, const std::string& song)
{
    std::string reason;
    if (!assetsFolder.empty() && !IsFolder(assetsFolder, reason)) {
        ReportError("cannot use the assets folder " + assetsFolder + ": " + reason);
        return false;
    }
    if (!song.empty() && !ChooseSong(song, reason)) {
        ReportError("cannot read " + song + ": " + reason);
        return false;
    }
    return true;
}

void BeginDrop()
{
    DroppedSongs = 0;
}

void DropFile(const char* path)
{
    const Piece piece = PieceOfFile(path);
    if (piece == Piece::Song && DroppedSongs++ > 0) {
        ReportWarning(std::string("ignored dropped file ") + path + " (one song at a time: the first is played)");
        return;
    }
    TakePieceOrWarn(piece, path);
}
