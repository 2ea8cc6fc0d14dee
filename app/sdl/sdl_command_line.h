// The Linux program's command line.
#pragma once

#include <string>

struct Options {
    bool fullscreen = false;
    int scale = 0;   // 0: the largest that fits the screen
    bool mute = false;
    std::string assets;   // empty: look in the usual folders
    std::string song;     // empty: the assets' song
    std::string text;     // empty: the built-in text page
    bool watch = false;   // take the files read anew as they are saved
};

// Parses the command line into `options`. Returns -1 to run the intro, or
// the exit code when there is nothing to run: 0 after --help or --version,
// 2 (with the usage on stderr) after a bad argument.
int ParseCommandLine(int argc, char** argv, Options& options);
