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

ProgressLine::ProgressLine(const char* what_, const char* unit_, uint64_t total_)
    : what(what_), unit(unit_), total(total_), shown(QUILLMOOR_ISATTY(QUILLMOOR_FILENO(stderr)) != 0),
      start(std::chrono::steady_clock::now()), lastDrawn(start)
{
}

void ProgressLine::Update(uint64_t done)
{
    if (!shown || total == 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn < std::chrono::milliseconds(200) && done < total) return;
    lastDrawn = now;
    drawn = true;
    const double seconds = std::chrono::duration<double>(now - start).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    const double left = rate > 0 ? static_cast<double>(total - done) / rate : 0.0;
    std::fprintf(stderr, "\r%s: %llu / %llu %s (%3d%%), %.1f a second, %.0f s left   ", what,
                 static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), unit,
                 static_cast<int>(done * 100 / total), rate, left);
    std::fflush(stderr);
}

void ProgressLine::Finish()
{
    if (!drawn) return;
    std::fprintf(stderr, "\r%*s\r", 79, "");
    std::fflush(stderr);
}
