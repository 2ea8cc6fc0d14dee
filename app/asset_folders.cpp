#include "app/asset_folders.h"

#include <cstring>
#include <utility>

#include "app/asset_files.h"
#include "base/error_report.h"

namespace {

constexpr const char* Names[] = {SongFileName, LogoFileName, FontTableFileName, FontGlyphFileName};
constexpr int NameCount = sizeof Names / sizeof Names[0];

std::string Found[NameCount];

// `folder` and `name` joined by one separator ("/", which the C library
// takes on Windows too); a folder that already ends in one keeps it.
std::string JoinPath(const std::string& folder, const char* name)
{
    if (folder.empty()) return name;
    const char last = folder.back();
    if (last == '/' || last == '\\') return folder + name;
    return folder + '/' + name;
}

}   // namespace

std::vector<const char*> LocateAssets(std::span<const std::string> folders)
{
    std::vector<const char*> missing;
    for (int i = 0; i < NameCount; ++i) {
        Found[i].clear();
        for (const std::string& folder : folders) {
            std::string candidate = JoinPath(folder, Names[i]);
            if (IsRegularFile(candidate.c_str())) {
                Found[i] = std::move(candidate);
                break;
            }
        }
        if (Found[i].empty()) missing.push_back(Names[i]);
    }
    return missing;
}

const char* AssetPath(const char* name)
{
    for (int i = 0; i < NameCount; ++i)
        if (std::strcmp(name, Names[i]) == 0 && !Found[i].empty()) return Found[i].c_str();
    return name;
}

std::vector<std::string> AssetFolderSearch(const std::string& executableFolder)
{
    return {".", executableFolder, JoinPath(executableFolder, "../share/quillmoor")};
}

void WarnAssetMissing(const char* name, const std::string& where)
{
    ReportWarning(std::string("asset missing: ") + name + " (looked in " + where + ")");
}

void FindAssetFiles(const std::string& onlyFolder, const std::string& executableFolder)
{
    const std::vector<std::string> folders = onlyFolder.empty() ? AssetFolderSearch(executableFolder)
                                                                : std::vector<std::string>{onlyFolder};
    const std::string where = onlyFolder.empty()
                                  ? "the current folder, the program's folder and ../share/quillmoor beside it"
                                  : onlyFolder;
    for (const char* name : LocateAssets(folders)) WarnAssetMissing(name, where);
}
