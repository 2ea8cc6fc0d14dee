// How a tool, and the intro, turn down a command line they can't run,
// without the parser's header: a main file that only refuses needn't
// compile CLI11.
#pragma once

#include <cstdio>
#include <string_view>

#include "base/error_report.h"

namespace tooltext {

// Reports a bad command line on standard error and returns the exit code:
//   PROGRAM: error: PROBLEM
//   Run PROGRAM --help for the usage.
inline int RefuseCommandLine(std::string_view problem)
{
    ReportError(problem);
    std::fprintf(stderr, "Run %s --help for the usage.\n", ProgramName());
    return ExitBadCommandLine;
}

// The same with the whole usage after a blank line in place of the pointer
// to --help: for the intro, which people start without reading --help first.
inline int RefuseCommandLine(std::string_view problem, std::string_view usage)
{
    ReportError(problem);
    std::fprintf(stderr, "\n%.*s", static_cast<int>(usage.size()), usage.data());
    return ExitBadCommandLine;
}

}   // namespace tooltext
