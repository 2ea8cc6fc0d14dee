#include "app/file_checks.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The kind of file `path` names (its S_IFMT bits), or 0 with `reason` saying
// why it can't be looked at.
unsigned FileKind(const std::string& path, std::string& reason)
{
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) return status.st_mode & S_IFMT;
    reason = std::strerror(errno);
    return 0;
}

}   // namespace

bool IsReadableFile(const std::string& path, std::string& reason)
{
    const unsigned kind = FileKind(path, reason);
    if (kind == 0) return false;
    if (kind != S_IFREG) {
        reason = kind == S_IFDIR ? "it is a folder" : "it is not a regular file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    std::fclose(file);
    return true;
}

bool IsFolder(const std::string& path, std::string& reason)
{
    const unsigned kind = FileKind(path, reason);
    if (kind != 0 && kind != S_IFDIR) reason = "not a folder";
    return kind == S_IFDIR;
}
