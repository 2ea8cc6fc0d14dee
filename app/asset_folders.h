// Which folder each asset file is read from. Until LocateAssets runs, every
// asset is read by its plain name from the current folder.
#pragma once

#include <span>
#include <string>
#include <vector>

// Looks for each of the four asset files in `folders`, in order, and keeps
// the first regular file of that name for AssetPath (a FIFO, a device or a
// directory of that name is passed over). An asset found in none of them is
// read by its plain name, that is, not found. Returns the names of those
// missing everywhere, in the order the intro reads them.
std::vector<const char*> LocateAssets(std::span<const std::string> folders);

// The path to read the asset file `name` from: where LocateAssets found it,
// or the name itself.
const char* AssetPath(const char* name);

// The folders a desktop program looks in, given the folder of its own
// executable: the current folder, the executable's, and the installed data
// folder beside the executable's (../share/quillmoor).
std::vector<std::string> AssetFolderSearch(const std::string& executableFolder);

// Names on stderr, as a warning, the asset file `name` found nowhere in
// `where` (the folders looked in, as the user would say them).
void WarnAssetMissing(const char* name, const std::string& where);

// Where a desktop program finds its assets: in `onlyFolder` alone when one
// is given (--assets), otherwise along AssetFolderSearch. Each asset found
// nowhere is named on stderr as a warning; the intro runs on without it.
void FindAssetFiles(const std::string& onlyFolder, const std::string& executableFolder);
