#include "output_file.h"

#include <cerrno>
#include <cstring>

#include "console.h"

namespace {

void ReportFileError(const std::string& path, const char* what, int error)
{
    ReportError("cannot " + std::string(what) + " " + path + ": " + std::strerror(error));
}

}   // namespace

bool OutputFile::Open(const std::string& path_)
{
    path = path_;
    file = std::fopen(path.c_str(), "wb");
    if (file) return true;
    ReportFileError(path, "write", errno);
    failed = true;
    return false;
}

bool OutputFile::Write(const void* data, size_t size)
{
    if (failed) return false;
    if (size == 0 || std::fwrite(data, 1, size, file) == size) return true;
    ReportFileError(path, "write", errno);
    failed = true;
    return false;
}

bool OutputFile::Close()
{
    if (!file) return !failed;
    const bool flushed = std::fflush(file) == 0;
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!failed && !(flushed && closed)) {
        ReportFileError(path, "write", flushed ? errno : error);
        failed = true;
    }
    return !failed;
}

OutputFile::~OutputFile()
{
    if (file) std::fclose(file);
}
