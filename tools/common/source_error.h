// A fault in a tool's source file (a score, the font's text, the logo's
// description) and the one way every tool reports it.
#pragma once

#include <string>
#include <string_view>

namespace tooltext {

struct SourceError {
    int line = 0;   // 1-based; 0 when no single line is to blame
    std::string message;
};

// Reports `error` found in `file` on standard error and returns ExitFailure:
//   FILE:LINE: error: MESSAGE
//   PROGRAM: error: FILE: MESSAGE     (no single line to blame)
int ReportSourceError(std::string_view file, const SourceError& error);

}   // namespace tooltext
