// --watch on a POSIX system: the files the intro has read (the four assets
// wherever they were found, the song and the text page chosen) followed
// with inotify (file_watch.h), and each one saved taken anew as its piece
// once it has settled (live_assets.h). The front end starts it once the
// files are known and asks between its turns; nothing waits.
#pragma once

#include <string>

// Follows the files read, `textPage` among them when one was chosen. A file
// that can't be followed is named on stderr; the intro runs on.
void StartFollowingFiles(const std::string& textPage);

// Takes what changed since the last call, `now` in milliseconds on the
// front end's clock. Does nothing unless StartFollowingFiles ran.
void TakeFollowedChanges(double now);
