#include "source_error.h"

#include "base/error_report.h"

namespace tooltext {

int ReportSourceError(std::string_view file, const SourceError& error)
{
    if (error.line > 0)
        ReportErrorAt(file, error.line, error.message);
    else
        ReportError(std::string(file) + ": " + error.message);
    return ExitFailure;
}

}   // namespace tooltext
