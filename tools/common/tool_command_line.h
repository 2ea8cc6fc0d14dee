// The command lines of the tools and of the intro, parsed by CLI11 with one
// set of rules: options as `--name value` or `--name=value`, `--help` and
// `--version` anywhere, exit 2 on a bad command line ("PROGRAM: error:
// PROBLEM" and a pointer to --help, or the usage, on standard error). The
// program calls SetProgramName first.
#pragma once

#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "base/error_report.h"
#include "command_line_refusal.h"
#include "quillmoor_version.h"

namespace tooltext {

enum class ParseOutcome { Run, Informed, Refused };

// The rules every tool shares: --version prints the project's version, and
// a word starting with '/' is a file name on Windows too, not an option.
inline void ApplyToolRules(CLI::App& app)
{
    app.set_version_flag("--version", std::string(app.get_name()) + " " + QUILLMOOR_VERSION);
    app.allow_windows_style_options(false);
}

// Parses; on Informed `text` is the help or version text asked for, on
// Refused it says what is wrong with the command line.
inline ParseOutcome ParseArguments(CLI::App& app, int argc, const char* const* argv, std::string& text)
{
    try {
        app.parse(argc, argv);
        return ParseOutcome::Run;
    } catch (const CLI::CallForHelp&) {
        text = app.help();
        return ParseOutcome::Informed;
    } catch (const CLI::CallForAllHelp&) {
        text = app.help("", CLI::AppFormatMode::All);
        return ParseOutcome::Informed;
    } catch (const CLI::CallForVersion& version) {
        text = std::string(version.what()) + "\n";
        return ParseOutcome::Informed;
    } catch (const CLI::ParseError& error) {
        text = error.what();
        return ParseOutcome::Refused;
    }
}

// What a refusal shows after the problem: a pointer to --help, or the usage.
enum class RefusalShows { PointerToHelp, Usage };

// Parses for a program that has nothing else to check: -1 to go on,
// otherwise the exit code (0 after printing help or version, 2 after a
// refusal).
inline int ParseOrExit(CLI::App& app, int argc, const char* const* argv,
                       RefusalShows shows = RefusalShows::PointerToHelp)
{
    std::string text;
    switch (ParseArguments(app, argc, argv, text)) {
    case ParseOutcome::Run:
        return -1;
    case ParseOutcome::Informed:
        std::fputs(text.c_str(), stdout);
        return 0;
    case ParseOutcome::Refused:
        break;
    }
    return shows == RefusalShows::Usage ? RefuseCommandLine(text, app.help()) : RefuseCommandLine(text);
}

}   // namespace tooltext
