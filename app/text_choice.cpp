#include "app/text_choice.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/error_report.h"
#include "picture/text_page.h"
#include "picture/text_page_source.h"

namespace {

// Reads the first bytes of the file, as many as can decide what the page is;
// -1 with `reason` set when it can't be read. Only a regular file: a FIFO
// would hold the program until a writer came.
long ReadPageBytes(const std::string& path, char (&bytes)[TextPageDecidingBytes], std::string& reason)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        reason = std::strerror(errno);
        return -1;
    }
    if ((status.st_mode & S_IFMT) != S_IFREG) {
        reason = (status.st_mode & S_IFMT) == S_IFDIR ? "it is a folder" : "it is not a regular file";
        return -1;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::strerror(errno);
        return -1;
    }
    const size_t read = std::fread(bytes, 1, sizeof bytes, file);
    const bool failed = std::ferror(file);
    const int error = errno;
    std::fclose(file);
    if (failed) {
        reason = std::strerror(error);
        return -1;
    }
    return static_cast<long>(read);
}

}   // namespace

bool ChooseTextPage(const std::string& path, std::string& reason)
{
    static char bytes[TextPageDecidingBytes];
    const long size = ReadPageBytes(path, bytes, reason);
    if (size < 0) {
        reason = "cannot read " + path + ": " + reason;
        return false;
    }
    TextPageFault fault;
    if (ParseTextPage({bytes, static_cast<size_t>(size)}, TextPage, fault)) return true;
    reason = path + ":" + std::to_string(fault.line) + ":" + std::to_string(fault.column) + ": " + fault.what;
    return false;
}

void ChooseBuiltInTextPage()
{
    std::memcpy(TextPage, BuiltInTextPage, sizeof TextPage);
}

bool TakeNamedTextPage(const std::string& path)
{
    std::string reason;
    if (path.empty() || ChooseTextPage(path, reason)) return true;
    ReportError(reason);
    return false;
}
