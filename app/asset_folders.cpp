#include "app/asset_folders.h"

#include <cstring>
#include <string>
#include <system_error>

#include "app/asset_files.h"

namespace {

constexpr const char* Names[] = {SongFileName, LogoFileName, FontTableFileName, FontGlyphFileName};
constexpr int NameCount = sizeof Names / sizeof Names[0];

std::string Found[NameCount];

}   // namespace

std::vector<const char*> LocateAssets(std::span<const std::filesystem::path> folders)
{
    std::vector<const char*> missing;
    for (int i = 0; i < NameCount; ++i) {
        Found[i].clear();
        for (const std::filesystem::path& folder : folders) {
            const std::filesystem::path candidate = folder / Names[i];
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error)) {
                Found[i] = candidate.string();
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

std::vector<std::filesystem::path> AssetFolderSearch(const std::filesystem::path& executableFolder)
{
    return {".", executableFolder, executableFolder / ".." / "share" / "quillmoor"};
}
