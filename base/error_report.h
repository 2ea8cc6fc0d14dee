// How every program and tool of the project reports a failure, on standard
// error, in the form of the GNU tools:
//   PROGRAM: error: WHAT
//   FILE:LINE: error: WHAT        (when the failure has a place in a file)
// Bytes that are not printable (control codes, broken UTF-8) are shown
// escaped (\n, \t, \xHH), so a binary file named or read by mistake can't
// write control codes to the terminal. Exit codes: ExitBadCommandLine for a command line that can't be
// run, ExitFailure for anything else that failed.
#pragma once

#include <string>
#include <string_view>

inline constexpr int ExitFailure = 1;
inline constexpr int ExitBadCommandLine = 2;

// The name the reports start with; set once, first thing in main.
void SetProgramName(const char* name);
const char* ProgramName();

void ReportError(std::string_view what);
void ReportErrorAt(std::string_view file, int line, std::string_view what);
// "PROGRAM: warning: WHAT": something the program works around.
void ReportWarning(std::string_view what);

// `text` with every byte outside printable ASCII escaped.
std::string Printable(std::string_view text);
