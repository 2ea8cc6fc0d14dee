#include "app/headless/headless_intro.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/asset_files.h"
#include "app/intro.h"
#include "app/intro_run.h"
#include "base/error_report.h"

namespace {

// A song named on the command line must be there; the player itself
// tolerates a missing file (it plays silence), which would hide a typo.
bool LoadNamedSong(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        ReportError("cannot read " + path + ": " + std::strerror(errno));
        return false;
    }
    std::fclose(file);
    LoadSongFromFile(path.c_str());
    return true;
}

}   // namespace

bool StartHeadlessSound(const std::string& songPath)
{
    if (!songPath.empty()) return LoadNamedSong(songPath);
    StartIntroSound(nullptr, true);
    return true;
}

void StartHeadlessIntro()
{
    StartHeadlessSound();
    InitPicture();
}
