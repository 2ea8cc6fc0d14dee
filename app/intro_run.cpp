#include "app/intro_run.h"

#include <cstdio>

#include "app/asset_files.h"
#include "app/intro.h"
#include "app/shell.h"
#include "app/song_choice.h"
#include "sound/sound_server.h"

namespace {

// Flushed at once: the console may be a pipe, and each line belongs where
// it stands in the run (the banner before the window, the closing line
// after it).
void PrintLine(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

}   // namespace

bool StopIntroSound()
{
    SoundServer* server = TheSoundServer();
    return !server || server->Close();
}

void AnnounceIntro()
{
    PrintLine(BannerLine);
}

int StartIntroSound(void* window, bool muted)
{
    if (!muted) return OnCreate(window);
    LoadSongFromFile(SongPath());
    return -1;
}

bool EndIntro(SoundStop order)
{
    bool closed = true;
    if (order == SoundStop::BeforeClosingLine) closed = StopIntroSound();
    PrintLine(ClosingLine);
    if (order == SoundStop::AfterClosingLine) closed = StopIntroSound();
    return closed;
}
