#include "command_line.h"

#include <cstddef>

#include "tool_command_line.h"

bool ParseCount(std::string_view text, uint64_t limit, uint64_t& value)
{
    if (text.empty()) return false;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (digit > limit || result > (limit - digit) / 10) return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

bool ParseCallSpec(std::string_view spec, std::vector<CallRun>& runs, std::string& error)
{
    std::vector<CallRun> parsed;
    uint64_t totalSamples = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = spec.find(',', start);
        const std::string_view item = spec.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                                         : comma - start);
        const size_t star = item.find('*');
        uint64_t bytes = 0;
        uint64_t count = 1;
        if (!ParseCount(item.substr(0, star), MaxCallBytes, bytes)) {
            error = "bad call list item '" + std::string(item) + "': a byte count (0.." + std::to_string(MaxCallBytes) +
                    ") must come first";
            return false;
        }
        if (star != std::string_view::npos && (!ParseCount(item.substr(star + 1), 0xFFFFFFFFu, count) || count == 0)) {
            error = "bad call list item '" + std::string(item) + "': the repeat count after '*' must be 1 or more";
            return false;
        }
        const uint64_t samples = bytes / 2 * count;   // at most 2^23 * (2^32 - 1)
        if (totalSamples > ~0ull - samples) {
            error = "the call list asks for more samples than can be counted (2^64)";
            return false;
        }
        totalSamples += samples;
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

// Every value as the user typed it; checked and converted after parsing so
// that the messages say what a value must look like.
struct Texts {
    std::string count, from, index, path, calls, seconds, wav, raw, song, fps, scale, quality, chroma;
};

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

bool ParseSmallNumber(std::string_view text, uint32_t low, uint32_t high, std::string_view what, uint32_t& value,
                      std::string& error)
{
    uint64_t parsed = 0;
    if (ParseCount(text, high, parsed) && parsed >= low) {
        value = static_cast<uint32_t>(parsed);
        return true;
    }
    error = "bad " + std::string(what) + " '" + std::string(text) + "': a whole number from " + std::to_string(low) +
            " to " + std::to_string(high);
    return false;
}

bool CheckFrames(const Texts& t, bool fromGiven, CaptureRequest& request, std::string& error)
{
    return ParseFrameNumber(t.count, request.frameCount, "frame count", error) &&
           (!fromGiven || ParseFrameNumber(t.from, request.firstPrinted, "first frame", error));
}

bool CheckPicture(const Texts& t, CaptureRequest& request, std::string& error)
{
    return ParseFrameNumber(t.index, request.frameIndex, "frame number", error) &&
           ParseOutputPath(t.path, request.outputPath, error);
}

bool CheckSound(const Texts& t, const CLI::App& sound, CaptureRequest& request, std::string& error)
{
    const bool calls = sound.count("--calls") > 0;
    const bool seconds = sound.count("--seconds") > 0;
    const bool wav = sound.count("--wav") > 0;
    const bool raw = sound.count("--raw") > 0;
    if (calls == seconds) {
        error = "sound needs exactly one of --calls SPEC and --seconds S";
        return false;
    }
    if (wav == raw) {
        error = "sound needs exactly one of --wav FILE and --raw FILE";
        return false;
    }
    if (sound.count("--song") > 0 && t.song.empty()) {
        error = "the song file name is empty";
        return false;
    }
    request.songPath = t.song;
    request.dcBlock = sound.count("--dc-block") > 0;
    request.leadIn = sound.count("--lead-in") > 0;
    request.soundFile = wav ? SoundFileKind::Wav : SoundFileKind::Raw;
    if (!ParseOutputPath(wav ? t.wav : t.raw, request.outputPath, error)) return false;
    if (calls) return ParseCallSpec(t.calls, request.calls, error);
    request.pacedCalls = true;
    return ParseSeconds(t.seconds, StreamSampleRate, request.sampleCount, error);
}

bool CheckVideo(const Texts& t, const CLI::App& video, CaptureRequest& request, std::string& error)
{
    if (video.count("--fps") > 0) {
        if (t.fps != "50" && t.fps != "100") {
            error = "bad frame rate '" + t.fps + "': 50 (every second frame) or 100 (every frame)";
            return false;
        }
        request.videoFps = t.fps == "50" ? 50 : 100;
    }
    if (video.count("--scale") > 0 && !ParseSmallNumber(t.scale, 1, MaxVideoScale, "scale", request.videoScale, error))
        return false;
    if (video.count("--quality") > 0 &&
        !ParseSmallNumber(t.quality, 0, MaxVideoQuality, "quality (x264 CRF)", request.videoQuality, error))
        return false;
    if (video.count("--chroma") > 0) {
        if (t.chroma != "420" && t.chroma != "444") {
            error = "bad chroma '" + t.chroma + "': 420 (what every player takes) or 444 (a chroma sample per pixel)";
            return false;
        }
        request.videoFullChroma = t.chroma == "444";
    }
    request.dcBlock = video.count("--exact-sound") == 0;
    if (!ParseSeconds(t.seconds, request.videoFps, request.videoFrames, error) ||
        !ParseSeconds(t.seconds, StreamSampleRate, request.sampleCount, error))
        return false;
    if (request.videoFrames == 0) {
        error = "a video needs at least one frame: " + std::string(request.videoFps == 50 ? "0.02" : "0.01") +
                " seconds or more";
        return false;
    }
    return ParseOutputPath(t.path, request.outputPath, error);
}

}   // namespace

bool ParseCommandLine(int argc, const char* const* argv, CaptureRequest& request, std::string& error)
{
    request = CaptureRequest{};
    Texts t;
    CLI::App app{"The intro's picture and sound without a window or a sound device: frame hashes, "
                 "pictures, sound files and videos, made exactly as the intro makes them.",
                 "quillmoor-capture"};
    tooltext::ApplyToolRules(app);
    app.footer("Options go before or after the command, as --name VALUE or --name=VALUE.");
    app.require_subcommand(1);
    app.add_option("--assets", request.assetsDir, "the folder holding the intro's files")->type_name("DIR");
    app.add_option("--text", request.textPath,
                   "the text page from FILE, for frames, png, rgb, video and textpage: up to 25 lines of up to 40 "
                   "characters, of A-Z (lower case drawn as capitals), 0-9, space and ! \" # ' ( ) , - . / : ; = ? @ "
                   "_ ` ~")
        ->type_name("FILE");

    CLI::App* frames = app.add_subcommand("frames", "hash of each frame's picture, frames K..N-1");
    frames->add_option("N", t.count, "frames to render")->type_name("N")->required();
    frames->add_option("--from", t.from, "the first frame printed")->type_name("K");

    CLI::App* png = app.add_subcommand("png", "frame I as a 640 x 400 RGB PNG");
    CLI::App* rgb = app.add_subcommand("rgb", "frame I as 640 x 400 plain R, G, B bytes");
    for (CLI::App* picture : {png, rgb}) {
        picture->add_option("I", t.index, "the frame, counted from 0")->type_name("I")->required();
        picture->add_option("FILE", t.path, "the file to write")->type_name("FILE")->required();
    }

    CLI::App* sound = app.add_subcommand("sound", "the tune, exactly as the player makes it");
    sound->add_option("--calls", t.calls, "byte counts per FillCallback call, A*R repeats (8192,1764*2000)")
        ->type_name("SPEC");
    sound->add_option("--seconds", t.seconds, "this long, asked for as the sound server asks")->type_name("S");
    sound->add_option("--wav", t.wav, "write a WAV file ('-': standard output)")->type_name("FILE");
    sound->add_option("--raw", t.raw, "write 16-bit little-endian samples ('-': standard output)")->type_name("FILE");
    sound->add_option("--song", t.song, "play this register-dump file (raw or YMDX) instead of the assets' song")
        ->type_name("FILE");
    sound->add_flag("--dc-block")
        ->disable_flag_override()
        ->description("high-pass at 5 Hz and fade in over 20 ms, for other tools to use");
    sound->add_flag("--lead-in")
        ->disable_flag_override()
        ->description("also the silent first calls' regions, as zeros");

    CLI::App* video = app.add_subcommand("video", "picture and sound through ffmpeg");
    video->add_option("SECONDS", t.seconds, "the video's length")->type_name("SECONDS")->required();
    video->add_option("FILE", t.path, "the file to write; its extension picks the container")
        ->type_name("FILE")
        ->required();
    video->add_option("--fps", t.fps, "50 (every second frame, the default) or 100 (every frame)")->type_name("50|100");
    video->add_option("--scale", t.scale, "nearest-neighbour factor, 1 to 8 (default 2)")->type_name("N");
    video
        ->add_option("--quality", t.quality,
                     "x264's constant-rate factor, 0 to 51 (default " + std::to_string(DefaultVideoQuality) + ")")
        ->type_name("CRF");
    video->add_option("--chroma", t.chroma, "420 (the default, what every player takes) or 444 (full chroma)")
        ->type_name("420|444");
    video->add_flag("--exact-sound")
        ->disable_flag_override()
        ->description("the player's samples as they are (no high-pass, no fade-in)");

    CLI::App* textpage = app.add_subcommand(
        "textpage", "the text page's 25 rows of 40 characters (with --text, the file's, padded)");
    for (CLI::App* command : app.get_subcommands({})) command->fallthrough();

    switch (tooltext::ParseArguments(app, argc, argv, error)) {
    case tooltext::ParseOutcome::Run:
        break;
    case tooltext::ParseOutcome::Informed:
        request.command = CaptureCommand::Help;
        request.helpText = error;
        // The program's own --help shows every command with its options.
        if (app.get_help_ptr()->count() > 0 && app.get_subcommands().empty())
            request.helpText = app.help("", CLI::AppFormatMode::All);
        error.clear();
        return true;
    case tooltext::ParseOutcome::Refused:
        return false;
    }
    if (app.count("--assets") > 0 && request.assetsDir.empty()) {
        error = "--assets needs a folder";
        return false;
    }
    if (app.count("--text") > 0 && request.textPath.empty()) {
        error = "--text needs a file";
        return false;
    }
    if (sound->parsed() && !request.textPath.empty()) {
        error = "--text is for the commands that draw the page (frames, png, rgb, video, textpage), not sound";
        return false;
    }
    if (frames->parsed()) {
        request.command = CaptureCommand::Frames;
        return CheckFrames(t, frames->count("--from") > 0, request, error);
    }
    if (png->parsed() || rgb->parsed()) {
        request.command = png->parsed() ? CaptureCommand::Png : CaptureCommand::Rgb;
        return CheckPicture(t, request, error);
    }
    if (sound->parsed()) {
        request.command = CaptureCommand::Sound;
        return CheckSound(t, *sound, request, error);
    }
    if (video->parsed()) {
        request.command = CaptureCommand::Video;
        return CheckVideo(t, *video, request, error);
    }
    if (textpage->parsed()) {
        request.command = CaptureCommand::TextPage;
        return true;
    }
    error = "no command given";   // require_subcommand makes this unreachable
    return false;
}
