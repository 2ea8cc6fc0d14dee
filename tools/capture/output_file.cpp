#include "output_file.h"

#include <cerrno>
#include <cstring>

#include "base/error_report.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

void ReportFileError(const std::string& path, const char* what, int error)
{
    ReportError("cannot " + std::string(what) + " " + path + ": " + std::strerror(error));
}

}   // namespace

bool OutputFile::Open(const std::string& path_)
{
    path = path_;
    if (path == "-") {
        path = "standard output";
        toStandardOutput = true;
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);   // no CR before every LF byte
#endif
        file = stdout;
        return true;
    }
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
    const bool closed = toStandardOutput ? std::ferror(file) == 0 : std::fclose(file) == 0;
    file = nullptr;
    if (!failed && !(flushed && closed)) {
        ReportFileError(path, "write", flushed ? errno : error);
        failed = true;
    }
    return !failed;
}

OutputFile::~OutputFile()
{
    if (file && !toStandardOutput) std::fclose(file);
}
