// How a tool turns down a command line it can't run, without the parser's
// header: a tool's main file that only refuses needn't compile CLI11.
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

}   // namespace tooltext
