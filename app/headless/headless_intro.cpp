#include "app/headless/headless_intro.h"

#include "app/frame_cycle.h"
#include "app/sound_session.h"
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
    UseSoundDevice(nullptr);
    StartSound(nullptr);
    return true;
}

void StartHeadlessIntro()
{
    StartHeadlessSound();
    InitPicture();
}
