#include "app/headless/headless_intro.h"

#include "app/intro.h"
#include "app/intro_run.h"
#include "app/song_choice.h"
#include "base/error_report.h"

bool StartHeadlessSound(const std::string& songPath)
{
    // A song named on the command line must be there; the player itself
    // tolerates a missing file (it plays silence), which would hide a typo.
    std::string reason;
    if (!songPath.empty() && !ChooseSong(songPath, reason)) {
        ReportError("cannot read " + songPath + ": " + reason);
        return false;
    }
    StartIntroSound(nullptr, true);
    return true;
}

void StartHeadlessIntro()
{
    StartHeadlessSound();
    InitPicture();
}
