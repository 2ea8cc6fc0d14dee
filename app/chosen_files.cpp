#include "app/chosen_files.h"

#include "app/file_checks.h"
#include "app/sound_session.h"
#include "base/error_report.h"

namespace {

int DroppedFiles = 0;   // files of the drop so far

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
    DroppedFiles = 0;
}

void DropFile(const char* path)
{
    if (DroppedFiles++ > 0) {
        ReportWarning(std::string("ignored dropped file ") + path + " (one song at a time: the first is played)");
        return;
    }
    std::string reason;
    if (!SwitchSong(path, reason))
        ReportWarning(std::string("cannot read ") + path + ": " + reason + " (the current song plays on)");
}
