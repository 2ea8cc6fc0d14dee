// logogen: draws the intro's logo from its text description.
//
//   logogen <description> <output.bmp>
//
// The output is the 632 x 246, 8-bit, bottom-up bitmap that the intro reads;
// any image viewer shows it with the description's colour ramp.
#include <string>
#include <vector>

#include "logo_description.h"
#include "base/error_report.h"
#include "source_error.h"
#include "tool_command_line.h"
#include "tool_files.h"

int main(int argc, char** argv)
{
    SetProgramName("logogen");
    std::string descriptionPath, outputPath;
    CLI::App app{"Draws the intro's logo from its text description.", "logogen"};
    tooltext::ApplyToolRules(app);
    app.add_option("DESCRIPTION", descriptionPath, "the logo's text description")->required();
    app.add_option("OUTPUT", outputPath, "the 632 x 246 8-bit bitmap to write")->required();
    if (const int exit = tooltext::ParseOrExit(app, argc, argv); exit >= 0) return exit;

    std::string text;
    if (!tooltext::ReadTextFile(descriptionPath, text)) return ExitFailure;
    logogen::LogoDescription logo;
    tooltext::SourceError error;
    if (!logogen::ParseLogoDescription(text, logo, error)) return tooltext::ReportSourceError(descriptionPath, error);
    std::vector<uint8_t> pixels;
    std::string renderError;
    if (!logogen::RenderLogo(logo, pixels, renderError))
        return tooltext::ReportSourceError(descriptionPath, {0, renderError});
    const std::vector<uint8_t> file = logogen::EncodeBitmap(pixels, logogen::RampPalette(logo));
    return tooltext::WriteFileBytes(outputPath, file) ? 0 : ExitFailure;
}
