#include "command_line.h"

#include <cstddef>

const char CaptureUsage[] =
    "usage: quillmoor-capture [--assets DIR] COMMAND ARGS\n"
    "  frames N [--from K]          hash of each frame's picture, frames K..N-1\n"
    "  png I FILE                   frame I as a 640 x 400 RGB PNG\n"
    "  sound (--calls SPEC | --seconds S) (--wav FILE | --raw FILE)\n"
    "                               the tune; SPEC: byte counts per call, A*R repeats (8192,1764*2000)\n"
    "  video SECONDS FILE           picture and sound through ffmpeg, 100 frames a second\n"
    "  textpage                     the 25 rows of the built-in text page\n";

bool ParseCount(std::string_view text, uint64_t limit, uint64_t& value)
{
    if (text.empty()) return false;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (result > (limit - digit) / 10) return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

bool ParseCallSpec(std::string_view spec, std::vector<CallRun>& runs, std::string& error)
{
    std::vector<CallRun> parsed;
    size_t start = 0;
    while (true) {
        const size_t comma = spec.find(',', start);
        const std::string_view item = spec.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        const size_t star = item.find('*');
        uint64_t bytes = 0;
        uint64_t count = 1;
        if (!ParseCount(item.substr(0, star), MaxCallBytes, bytes)) {
            error = "bad call list item '" + std::string(item) + "': a byte count (0.." +
                    std::to_string(MaxCallBytes) + ") must come first";
            return false;
        }
        if (star != std::string_view::npos &&
            (!ParseCount(item.substr(star + 1), 0xFFFFFFFFu, count) || count == 0)) {
            error = "bad call list item '" + std::string(item) + "': the repeat count after '*' must be 1 or more";
            return false;
        }
        parsed.push_back({static_cast<uint32_t>(bytes), count});
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    runs = std::move(parsed);
    return true;
}

bool ParseSeconds(std::string_view text, uint32_t unitsPerSecond, uint64_t& units, std::string& error)
{
    constexpr uint64_t MaxWholeSeconds = 10'000'000;   // some 115 days
    constexpr size_t MaxFractionDigits = 9;
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    uint64_t seconds = 0;
    uint64_t fractionValue = 0;
    const bool ok = ParseCount(whole, MaxWholeSeconds, seconds) &&
                    (point == std::string_view::npos ||
                     (fraction.size() <= MaxFractionDigits && ParseCount(fraction, ~0ull, fractionValue)));
    if (!ok) {
        error = "bad number of seconds '" + std::string(text) +
                "': write it as 30 or 2.5 (at most 9 digits after the point, at most 10000000)";
        return false;
    }
    uint64_t scale = 1;
    for (size_t i = 0; i < fraction.size(); i++) scale *= 10;
    units = seconds * unitsPerSecond + fractionValue * unitsPerSecond / scale;
    return true;
}

namespace {

// Arguments after the command word: options ("--name VALUE") and the rest.
struct Arguments {
    std::vector<std::string_view> positional;
    std::vector<std::pair<std::string_view, std::string_view>> options;
};

bool SplitArguments(int argc, const char* const* argv, int first, Arguments& out, std::string& error)
{
    for (int i = first; i < argc; i++) {
        const std::string_view arg = argv[i];
        if (arg.size() > 2 && arg.substr(0, 2) == "--") {
            if (i + 1 >= argc) {
                error = "option " + std::string(arg) + " needs a value";
                return false;
            }
            for (const auto& option : out.options) {
                if (option.first == arg) {
                    error = "option " + std::string(arg) + " given twice";
                    return false;
                }
            }
            out.options.emplace_back(arg, argv[++i]);
        } else {
            out.positional.push_back(arg);
        }
    }
    return true;
}

bool CheckOptions(const Arguments& args, std::initializer_list<std::string_view> allowed, std::string& error)
{
    for (const auto& option : args.options) {
        bool known = false;
        for (std::string_view name : allowed) known = known || option.first == name;
        if (!known) {
            error = "unknown option " + std::string(option.first);
            return false;
        }
    }
    return true;
}

const std::string_view* FindOption(const Arguments& args, std::string_view name)
{
    for (const auto& option : args.options)
        if (option.first == name) return &option.second;
    return nullptr;
}

bool CheckPositionalCount(const Arguments& args, size_t count, std::string_view command, std::string& error)
{
    if (args.positional.size() == count) return true;
    error = std::string(command) + " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s") +
            ", not " + std::to_string(args.positional.size());
    return false;
}

bool ParseFrameNumber(std::string_view text, uint64_t& value, std::string_view what, std::string& error)
{
    if (ParseCount(text, MaxFrames, value)) return true;
    error = "bad " + std::string(what) + " '" + std::string(text) + "': a whole number from 0 to 4294967295";
    return false;
}

bool ParseOutputPath(std::string_view text, std::string& path, std::string& error)
{
    if (text.empty()) {
        error = "the output file name is empty";
        return false;
    }
    path = text;
    return true;
}

bool ParseFrames(const Arguments& args, CaptureRequest& request, std::string& error)
{
    if (!CheckOptions(args, {"--from"}, error) || !CheckPositionalCount(args, 1, "frames", error)) return false;
    if (!ParseFrameNumber(args.positional[0], request.frameCount, "frame count", error)) return false;
    const std::string_view* from = FindOption(args, "--from");
    return !from || ParseFrameNumber(*from, request.firstPrinted, "first frame", error);
}

bool ParsePng(const Arguments& args, CaptureRequest& request, std::string& error)
{
    return CheckOptions(args, {}, error) && CheckPositionalCount(args, 2, "png", error) &&
           ParseFrameNumber(args.positional[0], request.frameIndex, "frame number", error) &&
           ParseOutputPath(args.positional[1], request.outputPath, error);
}

bool ParseSound(const Arguments& args, CaptureRequest& request, std::string& error)
{
    if (!CheckOptions(args, {"--calls", "--seconds", "--wav", "--raw"}, error) ||
        !CheckPositionalCount(args, 0, "sound", error))
        return false;
    const std::string_view* calls = FindOption(args, "--calls");
    const std::string_view* seconds = FindOption(args, "--seconds");
    const std::string_view* wav = FindOption(args, "--wav");
    const std::string_view* raw = FindOption(args, "--raw");
    if ((calls != nullptr) == (seconds != nullptr)) {
        error = "sound needs exactly one of --calls SPEC and --seconds S";
        return false;
    }
    if ((wav != nullptr) == (raw != nullptr)) {
        error = "sound needs exactly one of --wav FILE and --raw FILE";
        return false;
    }
    request.soundFile = wav ? SoundFileKind::Wav : SoundFileKind::Raw;
    if (!ParseOutputPath(wav ? *wav : *raw, request.outputPath, error)) return false;
    if (calls) return ParseCallSpec(*calls, request.calls, error);
    request.pacedCalls = true;
    return ParseSeconds(*seconds, SampleRate, request.sampleCount, error);
}

bool ParseVideo(const Arguments& args, CaptureRequest& request, std::string& error)
{
    if (!CheckOptions(args, {}, error) || !CheckPositionalCount(args, 2, "video", error)) return false;
    if (!ParseSeconds(args.positional[0], FramesPerSecond, request.videoFrames, error) ||
        !ParseSeconds(args.positional[0], SampleRate, request.sampleCount, error))
        return false;
    if (request.videoFrames == 0) {
        error = "a video needs at least one frame: 0.01 seconds or more";
        return false;
    }
    return ParseOutputPath(args.positional[1], request.outputPath, error);
}

}   // namespace

bool ParseCommandLine(int argc, const char* const* argv, CaptureRequest& request, std::string& error)
{
    request = CaptureRequest{};
    int next = 1;
    if (next < argc && (std::string_view(argv[next]) == "--help" || std::string_view(argv[next]) == "-h")) {
        request.command = CaptureCommand::Help;
        if (argc == 2) return true;
        error = "--help takes nothing after it";
        return false;
    }
    if (next < argc && std::string_view(argv[next]) == "--assets") {
        if (next + 1 >= argc || argv[next + 1][0] == '\0') {
            error = "--assets needs a folder";
            return false;
        }
        request.assetsDir = argv[next + 1];
        next += 2;
    }
    if (next >= argc) {
        error = "no command given";
        return false;
    }
    const std::string_view command = argv[next];
    Arguments args;
    if (!SplitArguments(argc, argv, next + 1, args, error)) return false;
    if (command == "frames") {
        request.command = CaptureCommand::Frames;
        return ParseFrames(args, request, error);
    }
    if (command == "png") {
        request.command = CaptureCommand::Png;
        return ParsePng(args, request, error);
    }
    if (command == "sound") {
        request.command = CaptureCommand::Sound;
        return ParseSound(args, request, error);
    }
    if (command == "video") {
        request.command = CaptureCommand::Video;
        return ParseVideo(args, request, error);
    }
    if (command == "textpage") {
        request.command = CaptureCommand::TextPage;
        return CheckOptions(args, {}, error) && CheckPositionalCount(args, 0, "textpage", error);
    }
    error = "unknown command '" + std::string(command) + "'";
    return false;
}
