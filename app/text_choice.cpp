#include "app/text_choice.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/file_checks.h"
#include "base/error_report.h"
#include "picture/text_page.h"
#include "picture/text_page_source.h"

namespace {

// Reads the first bytes of the file, as many as can decide what the page is;
// -1 with `reason` set when it can't be read (only a readable regular file,
// as for a song: file_checks.h).
long ReadPageBytes(const std::string& path, char (&bytes)[TextPageDecidingBytes], std::string& reason)
{
    if (!IsReadableFile(path, reason)) return -1;
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
