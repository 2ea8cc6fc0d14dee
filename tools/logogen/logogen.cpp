// logogen: draws the intro's logo from its text description.
//
//   logogen <description> <output.bmp>
//
// The output is the 632 x 246, 8-bit, bottom-up bitmap that the intro reads;
// any image viewer shows it with the description's colour ramp.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "logo_description.h"
#include "base/error_report.h"
#include "tool_command_line.h"

int main(int argc, char** argv)
{
    SetProgramName("logogen");
    std::string descriptionPath, outputPath;
    CLI::App app{"Draws the intro's logo from its text description.", "logogen"};
    tooltext::ApplyToolRules(app);
    app.add_option("DESCRIPTION", descriptionPath, "the logo's text description")->required();
    app.add_option("OUTPUT", outputPath, "the 632 x 246 8-bit bitmap to write")->required();
    if (const int exit = tooltext::ParseOrExit(app, argc, argv); exit >= 0) return exit;

    std::ifstream in(descriptionPath, std::ios::binary);
    if (!in) {
        ReportError("cannot read " + descriptionPath + ": " + std::strerror(errno));
        return ExitFailure;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    logogen::LogoDescription logo;
    logogen::DescriptionError error;
    if (!logogen::ParseLogoDescription(text, logo, error)) {
        if (error.line > 0)
            ReportErrorAt(descriptionPath, error.line, error.message);
        else
            ReportError(descriptionPath + ": " + error.message);
        return ExitFailure;
    }
    std::vector<uint8_t> pixels;
    std::string renderError;
    if (!logogen::RenderLogo(logo, pixels, renderError)) {
        ReportError(descriptionPath + ": " + renderError);
        return ExitFailure;
    }
    const std::vector<uint8_t> file = logogen::EncodeBitmap(pixels, logogen::RampPalette(logo));
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        ReportError("cannot write " + outputPath);
        return ExitFailure;
    }
    return 0;
}
