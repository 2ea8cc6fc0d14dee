// What the tool tells its user on standard error.
#pragma once

#include <cstdint>
#include <string>

// Prints "quillmoor-capture: <message>" and a line end to standard error.
void ReportError(const std::string& message);

// A progress line on standard error, rewritten in place, shown only when
// standard error is a terminal (never in a log or a pipe).
struct ProgressLine {
    const char* what = "";
    uint64_t total = 0;
    bool shown = false;
    int lastPercent = -1;

    ProgressLine(const char* what, uint64_t total);
    void Update(uint64_t done);
    void Finish();   // clears the line
};
