// The logo's text description, its rendering into palette indices, and the
// 8-bit bitmap file the intro reads.
//
// Letters are drawn as round-ended strokes of one width along centre lines
// (straight segments and elliptical arcs), each letter clipped to its own
// box, so a stroke that runs to the box's edge ends square. Around the union
// of the strokes go an outline band (optionally apart from the letters by a
// transparent gap) and a drop shadow; inside run an inline band, a bevel and
// a top-to-bottom colour gradient; horizontal cuts slice through everything.
// Index 0 is transparent: the intro sees only which pixels are non-zero, so
// the letter body always gets an index from 1 to 255, while the outline,
// shadow and inline may be given index 0 to leave see-through lines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "source_error.h"

namespace logogen {

inline constexpr int kWidth = 632;
inline constexpr int kHeight = 246;
inline constexpr int kPixelOffset = 14 + 40 + 256 * 4;              // 1078
inline constexpr int kFileSize = kPixelOffset + kWidth * kHeight;   // 156,550

struct Stroke {
    bool arc = false;
    // Line: from (x0, y0) to (x1, y1). Arc: centre (x0, y0), radii (x1, y1),
    // from angle a0 to a1 in degrees, clockwise on screen (0 = right, 90 = down).
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0, a0 = 0, a1 = 0;
};

struct Letter {
    std::string name;
    double width = 0;     // the letter's box: 0..width across, 0..height down
    double descent = 0;   // extra depth of the box below the baseline
    std::vector<Stroke> strokes;
};

struct Cut {
    double y = 0;   // below the letters' top edge
    double height = 0;
};

struct RampStop {
    int index = 0;
    uint32_t rgb = 0;   // 0xRRGGBB
};

struct LogoDescription {
    double stroke = 0, height = 0, top = 0, spacing = 0, slant = 0;
    double outline = 0, outlineGap = 0, inlineDepth = 0, inlineWidth = 0;
    int shadowX = 0, shadowY = 0;
    double bevelWidth = 0, bevelStrength = 0;
    int shadowColour = 1, outlineColour = 1, inlineColour = 1, bodyTop = 1, bodyBottom = 1;
    std::vector<Cut> cuts;
    std::vector<RampStop> ramp;
    std::vector<Letter> letters;
};

bool ParseLogoDescription(std::string_view text, LogoDescription& logo, tooltext::SourceError& error);

// kWidth x kHeight palette indices, top row first. Fails (with a message)
// when the artwork would touch the canvas's outer edge.
bool RenderLogo(const LogoDescription& logo, std::vector<uint8_t>& pixels, std::string& error);

// The 256 colours, 0xRRGGBB, interpolated linearly between the ramp's stops.
std::array<uint32_t, 256> RampPalette(const LogoDescription& logo);

// An uncompressed 8-bit Windows bitmap, rows stored bottom-up.
std::vector<uint8_t> EncodeBitmap(const std::vector<uint8_t>& pixels, const std::array<uint32_t, 256>& palette);

}   // namespace logogen
