// What the user names (a song, an assets folder) is looked at before it is
// used, so that a mistake is said plainly rather than played as silence.
#pragma once

#include <string>

// True when `path` is a regular file that can be opened for reading;
// otherwise false, with `reason` saying why. Only a regular file: a FIFO
// would hold the intro until a writer came, and a folder or a device is no
// song.
bool IsReadableFile(const std::string& path, std::string& reason);

// True when `path` is a folder; otherwise false, with `reason` saying why.
bool IsFolder(const std::string& path, std::string& reason);
