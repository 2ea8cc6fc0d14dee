// logogen: draws the intro's logo from its text description.
//
//   logogen <description> <output.bmp>
//
// The output is the 632 x 246, 8-bit, bottom-up bitmap that the intro reads;
// any image viewer shows it with the description's colour ramp.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "logo_description.h"
#include "tool_command_line.h"

int main(int argc, char** argv)
{
    std::string descriptionPath, outputPath;
    CLI::App app{"Draws the intro's logo from its text description.", "logogen"};
    tooltext::ApplyToolRules(app);
    app.add_option("DESCRIPTION", descriptionPath, "the logo's text description")->required();
    app.add_option("OUTPUT", outputPath, "the 632 x 246 8-bit bitmap to write")->required();
    if (const int exit = tooltext::ParseOrExit(app, argc, argv); exit >= 0) return exit;

    std::ifstream in(descriptionPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "logogen: cannot read %s\n", descriptionPath.c_str());
        return 1;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    logogen::LogoDescription logo;
    logogen::DescriptionError error;
    if (!logogen::ParseLogoDescription(text, logo, error)) {
        if (error.line > 0)
            std::fprintf(stderr, "%s:%d: %s\n", descriptionPath.c_str(), error.line, error.message.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", descriptionPath.c_str(), error.message.c_str());
        return 1;
    }
    std::vector<uint8_t> pixels;
    std::string renderError;
    if (!logogen::RenderLogo(logo, pixels, renderError)) {
        std::fprintf(stderr, "%s: %s\n", descriptionPath.c_str(), renderError.c_str());
        return 1;
    }
    const std::vector<uint8_t> file = logogen::EncodeBitmap(pixels, logogen::RampPalette(logo));
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "logogen: cannot write %s\n", outputPath.c_str());
        return 1;
    }
    return 0;
}
