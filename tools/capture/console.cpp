#include "console.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define QUILLMOOR_ISATTY _isatty
#define QUILLMOOR_FILENO _fileno
#else
#include <unistd.h>
#define QUILLMOOR_ISATTY isatty
#define QUILLMOOR_FILENO fileno
#endif

void ReportError(const std::string& message)
{
    std::fprintf(stderr, "quillmoor-capture: %s\n", message.c_str());
}

ProgressLine::ProgressLine(const char* what_, uint64_t total_)
    : what(what_), total(total_), shown(QUILLMOOR_ISATTY(QUILLMOOR_FILENO(stderr)) != 0)
{
}

void ProgressLine::Update(uint64_t done)
{
    if (!shown || total == 0) return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == lastPercent) return;
    lastPercent = percent;
    std::fprintf(stderr, "\r%s: %3d%%", what, percent);
    std::fflush(stderr);
}

void ProgressLine::Finish()
{
    if (!shown || lastPercent < 0) return;
    std::fprintf(stderr, "\r%*s\r", 40, "");
    std::fflush(stderr);
}
