#include "logo_description.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>

#include "message.h"

namespace logogen {

namespace {

// ---------------------------------------------------------------- parsing

using tooltext::Message;

std::vector<std::string_view> Words(std::string_view line)
{
    if (const size_t comment = line.find("//"); comment != std::string_view::npos) line = line.substr(0, comment);
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(" \t\r", pos);
        if (pos == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(" \t\r", pos), line.size());
        words.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

bool ToNumber(std::string_view word, double& value)
{
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

class Parser {
public:
    Parser(LogoDescription& logo, tooltext::SourceError& error) : logo_(logo), error_(error) {}

    bool Line(int number, const std::vector<std::string_view>& w)
    {
        line_ = number;
        const std::string_view key = w[0];
        if (key == "letter") return Letter(w);
        if (key == "end") {
            if (!letter_) return Fail("\"end\" without a letter");
            if (letter_->strokes.empty()) return Fail(Message("letter ", letter_->name, " has no strokes"));
            letter_ = nullptr;
            return true;
        }
        if (key == "line" || key == "arc") {
            if (!letter_) return Fail(Message("\"", key, "\" outside a letter"));
            return key == "line" ? Line(w) : Arc(w);
        }
        if (letter_) return Fail(Message("\"", key, "\" inside letter ", letter_->name, " (missing \"end\"?)"));
        if (key == "cut") {
            Cut cut;
            if (!Args(w, 2) || !Number(w[1], cut.y) || !Positive(w[2], cut.height)) return false;
            logo_.cuts.push_back(cut);
            return true;
        }
        if (key == "ramp") return Ramp(w);
        if (key == "colour") return Colour(w);
        if (key == "gradient")
            return Once("gradient") && Args(w, 2) && Index(w[1], logo_.bodyTop, 1) && Index(w[2], logo_.bodyBottom, 1);
        if (key == "shadow")
            return Once("shadow") && Args(w, 2) && Integer(w[1], logo_.shadowX) && Integer(w[2], logo_.shadowY);
        if (key == "inline")
            return Once("inline") && Args(w, 2) && NonNegative(w[1], logo_.inlineDepth) &&
                   NonNegative(w[2], logo_.inlineWidth);
        if (key == "outline") {
            if (w.size() != 2 && w.size() != 3) return Fail("\"outline\" takes a width and an optional gap");
            return Once("outline") && NonNegative(w[1], logo_.outline) &&
                   (w.size() == 2 || NonNegative(w[2], logo_.outlineGap));
        }
        if (key == "bevel")
            return Once("bevel") && Args(w, 2) && NonNegative(w[1], logo_.bevelWidth) &&
                   Number(w[2], logo_.bevelStrength);
        struct Single {
            const char* name;
            double* value;
            bool positive;
        };
        const Single singles[] = {{"stroke", &logo_.stroke, true},
                                  {"height", &logo_.height, true},
                                  {"top", &logo_.top, false},
                                  {"spacing", &logo_.spacing, false},
                                  {"slant", &logo_.slant, false}};
        for (const Single& s : singles)
            if (key == s.name)
                return Once(s.name) && Args(w, 1) && (s.positive ? Positive(w[1], *s.value) : Number(w[1], *s.value));
        return Fail(Message("unknown keyword \"", key, "\""));
    }

    bool Finish()
    {
        line_ = 0;
        if (letter_) return Fail(Message("letter ", letter_->name, " is not closed with \"end\""));
        for (const char* required : {"stroke", "height", "top", "gradient"})
            if (std::find(seen_.begin(), seen_.end(), required) == seen_.end())
                return Fail(Message("\"", required, "\" is not given"));
        if (logo_.letters.empty()) return Fail("no letters");
        if (logo_.ramp.empty() || logo_.ramp.front().index != 0 || logo_.ramp.back().index != 255)
            return Fail("the colour ramp must have stops at 0 and at 255");
        return true;
    }

private:
    bool Fail(const std::string& message)
    {
        error_ = {line_, message};
        return false;
    }
    bool Args(const std::vector<std::string_view>& w, size_t count)
    {
        if (w.size() == count + 1) return true;
        return Fail(
            Message("\"", w[0], "\" takes ", count, count == 1 ? " value" : " values", ", found ", w.size() - 1));
    }
    bool Once(const char* name)
    {
        if (std::find(seen_.begin(), seen_.end(), name) != seen_.end())
            return Fail(Message("\"", name, "\" is given twice"));
        seen_.push_back(name);
        return true;
    }
    bool Number(std::string_view word, double& value)
    {
        return ToNumber(word, value) || Fail(Message("\"", word, "\" is not a number"));
    }
    bool Positive(std::string_view word, double& value)
    {
        return Number(word, value) && (value > 0 || Fail(Message("\"", word, "\" must be above 0")));
    }
    bool NonNegative(std::string_view word, double& value)
    {
        return Number(word, value) && (value >= 0 || Fail(Message("\"", word, "\" must not be negative")));
    }
    bool Integer(std::string_view word, int& value)
    {
        double v = 0;
        if (!Number(word, v)) return false;
        if (v != std::floor(v) || std::fabs(v) > 1000)
            return Fail(Message("\"", word, "\" must be a whole number of pixels"));
        value = static_cast<int>(v);
        return true;
    }
    // A palette index; 0 is transparent, which the letter body may not be.
    bool Index(std::string_view word, int& value, int lowest)
    {
        if (!Integer(word, value)) return false;
        return (value >= lowest && value <= 255) ||
               Fail(Message("colour index ", word, " is outside ", lowest, "-255",
                            lowest > 0 ? " (0 is the transparent background)" : ""));
    }
    bool Colour(const std::vector<std::string_view>& w)
    {
        if (!Args(w, 2)) return false;
        int* target = w[1] == "shadow"    ? &logo_.shadowColour
                      : w[1] == "outline" ? &logo_.outlineColour
                      : w[1] == "inline"  ? &logo_.inlineColour
                                          : nullptr;
        if (!target) return Fail(Message("unknown colour \"", w[1], "\" (shadow, outline or inline)"));
        return Once(w[1] == "shadow"    ? "colour shadow"
                    : w[1] == "outline" ? "colour outline"
                                        : "colour inline") &&
               Index(w[2], *target, 0);
    }
    bool Ramp(const std::vector<std::string_view>& w)
    {
        RampStop stop;
        if (!Args(w, 2) || !Integer(w[1], stop.index)) return false;
        if (stop.index < 0 || stop.index > 255) return Fail(Message("ramp index ", w[1], " is outside 0-255"));
        if (!logo_.ramp.empty() && stop.index <= logo_.ramp.back().index)
            return Fail(Message("ramp stops must rise: ", w[1], " after ", logo_.ramp.back().index));
        const std::string_view hex = w[2];
        auto [ptr, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), stop.rgb, 16);
        if (hex.size() != 6 || ec != std::errc() || ptr != hex.data() + hex.size())
            return Fail(Message("\"", hex, "\" is not a colour (six hex digits RRGGBB)"));
        logo_.ramp.push_back(stop);
        return true;
    }
    bool Letter(const std::vector<std::string_view>& w)
    {
        if (letter_) return Fail(Message("letter ", w.size() > 1 ? w[1] : "", " starts inside letter ", letter_->name));
        if (w.size() != 3 && w.size() != 4) return Fail("\"letter\" takes a name, a width and an optional descent");
        logogen::Letter letter;
        letter.name = std::string(w[1]);
        if (!Positive(w[2], letter.width) || (w.size() == 4 && !NonNegative(w[3], letter.descent))) return false;
        logo_.letters.push_back(letter);
        letter_ = &logo_.letters.back();
        return true;
    }
    bool Line(const std::vector<std::string_view>& w)
    {
        Stroke s;
        if (!Args(w, 4) || !Number(w[1], s.x0) || !Number(w[2], s.y0) || !Number(w[3], s.x1) || !Number(w[4], s.y1))
            return false;
        if (s.x0 == s.x1 && s.y0 == s.y1) return Fail("line has no length");
        letter_->strokes.push_back(s);
        return true;
    }
    bool Arc(const std::vector<std::string_view>& w)
    {
        Stroke s;
        s.arc = true;
        if (!Args(w, 6) || !Number(w[1], s.x0) || !Number(w[2], s.y0) || !Positive(w[3], s.x1) ||
            !Positive(w[4], s.y1) || !Number(w[5], s.a0) || !Number(w[6], s.a1))
            return false;
        if (s.a1 <= s.a0 || s.a1 - s.a0 > 360)
            return Fail("arc must run clockwise from its first angle to its second, at most 360 degrees");
        letter_->strokes.push_back(s);
        return true;
    }

    LogoDescription& logo_;
    tooltext::SourceError& error_;
    logogen::Letter* letter_ = nullptr;
    std::vector<std::string> seen_;
    int line_ = 0;
};

// ---------------------------------------------------------------- drawing

// Signed distances: negative inside a shape, positive outside.
struct Vec {
    double x, y;
};

double Box(double px, double py, double halfW, double halfH)   // box centred on the origin
{
    const double qx = std::fabs(px) - halfW, qy = std::fabs(py) - halfH;
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0);
}

// One piece of a letter in letter coordinates: a segment drawn as a capsule
// (round ends). Square ends come from the letter's box, which clips them.
struct Piece {
    Vec a, b;
};

struct PlacedLetter {
    double left, width, depth;   // box: left..left+width across, 0..depth down
    std::vector<Piece> pieces;
};

double PieceDistance(const Piece& p, Vec q, double halfStroke)
{
    const double dx = p.b.x - p.a.x, dy = p.b.y - p.a.y;
    const double rx = q.x - p.a.x, ry = q.y - p.a.y;
    const double t = std::clamp((rx * dx + ry * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double ex = rx - t * dx, ey = ry - t * dy;
    return std::sqrt(ex * ex + ey * ey) - halfStroke;
}

// Arcs become chains of short capsules, about two degrees each.
void AddStroke(const Stroke& s, std::vector<Piece>& pieces)
{
    if (!s.arc) {
        pieces.push_back({{s.x0, s.y0}, {s.x1, s.y1}});
        return;
    }
    const int steps = std::max(4, static_cast<int>(std::ceil((s.a1 - s.a0) / 2.0)));
    Vec previous{};
    for (int k = 0; k <= steps; ++k) {
        const double angle = (s.a0 + (s.a1 - s.a0) * k / steps) * std::numbers::pi / 180.0;
        const Vec point{s.x0 + s.x1 * std::cos(angle), s.y0 + s.y1 * std::sin(angle)};
        if (k > 0) pieces.push_back({previous, point});
        previous = point;
    }
}

}   // namespace

bool ParseLogoDescription(std::string_view text, LogoDescription& logo, tooltext::SourceError& error)
{
    logo = LogoDescription{};
    Parser parser(logo, error);
    int number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        ++number;
        const std::vector<std::string_view> words = Words(text.substr(pos, end - pos));
        pos = end + 1;
        if (!words.empty() && !parser.Line(number, words)) return false;
    }
    return parser.Finish();
}

bool RenderLogo(const LogoDescription& logo, std::vector<uint8_t>& pixels, std::string& error)
{
    // Lay the letters out left to right and centre the row; a slant leans
    // the tops to the right by slant x height.
    double total = logo.slant * logo.height;
    for (const Letter& l : logo.letters) total += l.width;
    total += logo.spacing * static_cast<double>(logo.letters.size() - 1);
    std::vector<PlacedLetter> placed;
    double x = (kWidth - total) / 2;
    for (const Letter& l : logo.letters) {
        PlacedLetter p{x, l.width, logo.height + l.descent, {}};
        for (const Stroke& s : l.strokes) AddStroke(s, p.pieces);
        placed.push_back(std::move(p));
        x += l.width + logo.spacing;
    }

    // Distance from every pixel centre to the lettering.
    const double halfStroke = logo.stroke / 2;
    const double rim = logo.outlineGap + logo.outline;   // outer edge of the outline
    const double reach = rim + 4;                        // nearer than this, the exact distance matters
    std::vector<double> field(static_cast<size_t>(kWidth) * kHeight);
    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px) {
            const double ly = py + 0.5 - logo.top;
            double best = std::numeric_limits<double>::max();
            for (const PlacedLetter& p : placed) {
                const Vec q{px + 0.5 - p.left - logo.slant * (logo.height - ly), ly};
                const double box = Box(q.x - p.width / 2, q.y - p.depth / 2, p.width / 2, p.depth / 2);
                if (box > reach) {
                    best = std::min(best, box);
                    continue;
                }
                double d = std::numeric_limits<double>::max();
                for (const Piece& piece : p.pieces) d = std::min(d, PieceDistance(piece, q, halfStroke));
                best = std::min(best, std::max(d, box));
            }
            field[static_cast<size_t>(py) * kWidth + px] = best;
        }
    auto at = [&](int px, int py) {
        if (px < 0 || px >= kWidth || py < 0 || py >= kHeight) return std::numeric_limits<double>::max();
        return field[static_cast<size_t>(py) * kWidth + px];
    };

    pixels.assign(static_cast<size_t>(kWidth) * kHeight, 0);
    for (int py = 0; py < kHeight; ++py) {
        const double ly = py + 0.5 - logo.top;
        bool cut = false;
        for (const Cut& c : logo.cuts) cut = cut || (ly >= c.y && ly < c.y + c.height);
        if (cut) continue;
        for (int px = 0; px < kWidth; ++px) {
            const double d = at(px, py);
            int index = 0;
            if (d < 0) {
                const double t = std::clamp(ly / logo.height, 0.0, 1.0);
                double value = logo.bodyTop + (logo.bodyBottom - logo.bodyTop) * t;
                if (d > -logo.bevelWidth) {
                    // Light from the upper left: edges facing it brighten,
                    // edges facing away darken.
                    const double gx = std::min(at(px + 1, py), 1.0) - std::min(at(px - 1, py), 1.0);
                    const double gy = std::min(at(px, py + 1), 1.0) - std::min(at(px, py - 1), 1.0);
                    const double norm = std::sqrt(gx * gx + gy * gy);
                    if (norm > 0) value += logo.bevelStrength * (-gx - gy) / (norm * std::numbers::sqrt2);
                }
                index = static_cast<int>(std::clamp(std::floor(value + 0.5), 1.0, 255.0));
                if (d <= -logo.inlineDepth && d > -logo.inlineDepth - logo.inlineWidth) index = logo.inlineColour;
            } else if (d < logo.outlineGap) {
                continue;   // the gap between letters and outline stays clear
            } else if (d < rim) {
                index = logo.outlineColour;
            } else if (at(px - logo.shadowX, py - logo.shadowY) < rim) {
                index = logo.shadowColour;
            }
            pixels[static_cast<size_t>(py) * kWidth + px] = static_cast<uint8_t>(index);
        }
    }

    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px)
            if ((py == 0 || py == kHeight - 1 || px == 0 || px == kWidth - 1) &&
                pixels[static_cast<size_t>(py) * kWidth + px] != 0) {
                error = Message("the artwork reaches the edge of the canvas at column ", px, ", row ", py);
                return false;
            }
    return true;
}

std::array<uint32_t, 256> RampPalette(const LogoDescription& logo)
{
    std::array<uint32_t, 256> palette{};
    for (size_t s = 0; s + 1 < logo.ramp.size(); ++s) {
        const RampStop& from = logo.ramp[s];
        const RampStop& to = logo.ramp[s + 1];
        for (int i = from.index; i <= to.index; ++i) {
            uint32_t rgb = 0;
            for (int shift : {16, 8, 0}) {
                const int a = (from.rgb >> shift) & 0xFF, b = (to.rgb >> shift) & 0xFF;
                const double c = a + static_cast<double>(b - a) * (i - from.index) / (to.index - from.index);
                rgb |= static_cast<uint32_t>(std::floor(c + 0.5)) << shift;
            }
            palette[i] = rgb;
        }
    }
    return palette;
}

std::vector<uint8_t> EncodeBitmap(const std::vector<uint8_t>& pixels, const std::array<uint32_t, 256>& palette)
{
    std::vector<uint8_t> file;
    file.reserve(kFileSize);
    auto u16 = [&](uint32_t v) {
        file.push_back(static_cast<uint8_t>(v));
        file.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    // File header.
    file.push_back('B');
    file.push_back('M');
    u32(kFileSize);
    u32(0);
    u32(kPixelOffset);
    // Information header: positive height = rows stored bottom-up.
    u32(40);
    u32(kWidth);
    u32(kHeight);
    u16(1);                  // planes
    u16(8);                  // bits per pixel
    u32(0);                  // uncompressed
    u32(kWidth * kHeight);   // image size
    u32(2835);               // 72 dots per inch, as pixels per metre
    u32(2835);
    u32(256);   // colours used
    u32(0);     // all of them important
    for (uint32_t rgb : palette) {
        file.push_back(static_cast<uint8_t>(rgb));
        file.push_back(static_cast<uint8_t>(rgb >> 8));
        file.push_back(static_cast<uint8_t>(rgb >> 16));
        file.push_back(0);
    }
    for (int row = kHeight - 1; row >= 0; --row)
        file.insert(file.end(), pixels.begin() + static_cast<std::ptrdiff_t>(row) * kWidth,
                    pixels.begin() + static_cast<std::ptrdiff_t>(row + 1) * kWidth);
    return file;
}

}   // namespace logogen
