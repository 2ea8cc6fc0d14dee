#include "tool_files.h"

#include <cerrno>
#include <cstring>

#include "base/error_report.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace tooltext {

namespace {

void ReportFileError(const std::string& path, const char* what, int error)
{
    ReportError("cannot " + std::string(what) + " " + path + ": " + std::strerror(error));
}

}   // namespace

bool ReadTextFile(const std::string& path, std::string& text)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        ReportFileError(path, "read", errno);
        return false;
    }
    text.clear();
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) text.append(block, got);
    const bool failed = std::ferror(in) != 0;
    const int error = errno;
    std::fclose(in);
    if (failed) ReportFileError(path, "read", error);
    return !failed;
}

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

bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes)
{
    OutputFile out;
    return out.Open(path) && out.Write(bytes.data(), bytes.size()) && out.Close();
}

}   // namespace tooltext
