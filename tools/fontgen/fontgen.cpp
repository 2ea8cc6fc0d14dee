// fontgen: builds the font files and the two embedded resource blocks from
// the font's text source.
//
//   fontgen <font16.txt> <output-dir> [--preview <sheet.pgm>]
//
// Writes FNT1616.GFX, FNT1616.FTB, res101.bin and res102.bin into the output
// directory; --preview also draws every glyph, enlarged, into a grey-scale
// image for checking the artwork by eye.
#include <filesystem>
#include <string>
#include <vector>

#include "font_source.h"
#include "base/error_report.h"
#include "source_error.h"
#include "tool_command_line.h"
#include "tool_files.h"

namespace {

// All glyphs, 14 to a row, each pixel 4 x 4, one grey line between cells.
std::vector<uint8_t> PreviewSheet(const fontgen::Font& font)
{
    constexpr int kScale = 4, kPerRow = 14, kPitch = fontgen::kGlyphSize * kScale + 1;
    constexpr int kRows = (fontgen::kGlyphCount + kPerRow - 1) / kPerRow;
    constexpr int kWidth = kPerRow * kPitch + 1, kHeight = kRows * kPitch + 1;
    const std::string header = "P5\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
    std::vector<uint8_t> image(header.begin(), header.end());
    const size_t base = image.size();
    image.resize(base + kWidth * kHeight, 96);
    for (int g = 0; g < fontgen::kGlyphCount; ++g)
        for (int y = 0; y < fontgen::kGlyphSize * kScale; ++y)
            for (int x = 0; x < fontgen::kGlyphSize * kScale; ++x) {
                const int px = (g % kPerRow) * kPitch + 1 + x, py = (g / kPerRow) * kPitch + 1 + y;
                const bool set = (font.glyphs[g][y / kScale] >> (15 - x / kScale)) & 1;
                image[base + py * kWidth + px] = set ? 255 : 24;
            }
    return image;
}

}   // namespace

int main(int argc, char** argv)
{
    SetProgramName("fontgen");
    std::string sourcePath, outputDir, previewPath;
    CLI::App app{"Builds the font files and the two embedded resource blocks from the font's text source.", "fontgen"};
    tooltext::ApplyToolRules(app);
    app.add_option("SOURCE", sourcePath, "the font's text source (font16.txt)")->required();
    app.add_option("OUTPUT_DIR", outputDir, "where FNT1616.GFX, FNT1616.FTB, res101.bin and res102.bin go")->required();
    app.add_option("--preview", previewPath, "also draw every glyph, enlarged, into this grey-scale PGM");
    if (const int exit = tooltext::ParseOrExit(app, argc, argv); exit >= 0) return exit;

    std::string text;
    if (!tooltext::ReadTextFile(sourcePath, text)) return ExitFailure;
    fontgen::Font font;
    tooltext::SourceError error;
    if (!fontgen::ParseFontSource(text, font, error)) return tooltext::ReportSourceError(sourcePath, error);

    const std::filesystem::path dir = outputDir;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        ReportError("cannot make the folder " + outputDir + ": " + ec.message());
        return ExitFailure;
    }
    using tooltext::WriteFileBytes;
    const bool ok = WriteFileBytes((dir / "FNT1616.GFX").string(), fontgen::EncodeGlyphBitmaps(font)) &&
                    WriteFileBytes((dir / "FNT1616.FTB").string(), fontgen::EncodeGlyphIndexTable()) &&
                    WriteFileBytes((dir / "res101.bin").string(), fontgen::EncodeBinTestBlock()) &&
                    WriteFileBytes((dir / "res102.bin").string(), fontgen::EncodeGlyphIndexTable()) &&
                    (previewPath.empty() || WriteFileBytes(previewPath, PreviewSheet(font)));
    return ok ? 0 : ExitFailure;
}
