// What the tool tells its user on standard error besides its errors
// (base/error_report.h): its progress.
#pragma once

#include <chrono>
#include <cstdint>

// A progress line on standard error, rewritten in place at most five times
// a second: how many done of how many, the rate and the time left. Shown
// only when standard error is a terminal (never in a log or a pipe).
struct ProgressLine {
    const char* what = "";
    const char* unit = "";
    uint64_t total = 0;
    bool shown = false;
    bool drawn = false;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDrawn;

    ProgressLine(const char* what, const char* unit, uint64_t total);
    void Update(uint64_t done);
    void Finish();   // clears the line
};
