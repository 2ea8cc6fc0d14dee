#include "app/posix/followed_files.h"

#include "app/live_assets.h"
#include "app/posix/file_watch.h"
#include "base/error_report.h"

namespace {

struct Following {
    FileWatch watch;
    FollowedFiles files;
    Piece pieceOf[MostFollowedFiles] = {};   // by the watch's file number
};

Following Follow;

}   // namespace

void StartFollowingFiles(const std::string& textPage)
{
    std::string reason;
    if (!OpenFileWatch(Follow.watch, reason)) {
        ReportWarning("cannot follow the files read: " + reason);
        return;
    }
    FollowFilesRead(Follow.files, textPage);
    for (int i = 0; i < PieceCount; ++i) {
        if (Follow.files.path[i].empty()) continue;
        const int number = FollowFile(Follow.watch, Follow.files.path[i], reason);
        if (number < 0)
            ReportWarning("cannot follow " + Follow.files.path[i] + ": " + reason);
        else
            Follow.pieceOf[number] = static_cast<Piece>(i);
    }
}

void TakeFollowedChanges(double now)
{
    if (Follow.watch.fd < 0) return;
    const uint32_t changed = TakeChangedFiles(Follow.watch);
    for (int i = 0; i < Follow.watch.count; ++i)
        if (changed & 1u << i) NoteChange(Follow.files, Follow.pieceOf[i], now);
    TakeSettledChanges(Follow.files, now);
}
