// songc: compiles a plain-text score into a register-dump song.
//
//   songc SCORE [-o OUTPUT] [--wav WAV] [--raw] [--summary]
//
// Writes the "YMDX" delta format unless --raw is given; --wav plays one pass
// of the song through the intro's player into a WAV file; --summary prints
// the frame at which each order line starts. Errors name the score's line
// ("SCORE:LINE: error: ..."); a bad command line exits 2, any other failure 1.
#include <cstdio>
#include <string>

#include "dump_writer.h"
#include "score.h"
#include "song_listen.h"
#include "song_render.h"
#include "base/error_report.h"
#include "base/stream_format.h"
#include "source_error.h"
#include "tool_command_line.h"
#include "tool_files.h"

namespace {

constexpr int FramesPerMinute = ReplayRate * 60;   // song frames in a minute of play

}   // namespace

int main(int argc, char** argv)
{
    SetProgramName("songc");
    std::string input, output, wav;
    bool raw = false, summary = false;
    CLI::App app{"Compiles a plain-text score (see SCORE-FORMAT.md) into a register-dump song.", "songc"};
    tooltext::ApplyToolRules(app);
    app.add_option("SCORE", input, "the score to compile")->required();
    app.add_option("-o,--output", output, "the song file to write");
    app.add_option("--wav", wav, "play one pass of the song into this WAV file ('-': standard output)");
    app.add_flag("--raw")->description("raw 14-byte frames instead of the YMDX delta format");
    app.add_flag("--summary")->description("print the frame and time at which each order line starts");
    if (const int exit = tooltext::ParseOrExit(app, argc, argv); exit >= 0) return exit;
    if (output.empty() && wav.empty()) return tooltext::RefuseCommandLine("give -o OUTPUT, --wav WAV or both");
    raw = app.count("--raw") > 0;
    summary = app.count("--summary") > 0;

    std::string text;
    if (!tooltext::ReadTextFile(input, text)) return ExitFailure;
    std::vector<uint8_t> bytes;
    size_t frames = 0;
    try {
        const songc::Score score = songc::ParseScore(text);
        const songc::RenderedSong song = songc::RenderSong(score);
        frames = song.frames.size();
        bytes = raw ? songc::EncodeRaw(song.frames) : songc::EncodeDelta(song.frames, score.title);
        if (bytes.size() > songc::PlayerBufferSize) {
            throw songc::ScoreError(0, "the song takes " + std::to_string(bytes.size()) +
                                           " bytes; the player reads at most " +
                                           std::to_string(songc::PlayerBufferSize));
        }
        if (summary) {
            // Beside a WAV on standard output, the summary goes to standard error.
            std::FILE* out = wav == "-" ? stderr : stdout;
            const double rate = ReplayRate;
            for (size_t s = 0; s < song.stepFirstFrame.size(); ++s) {
                const int f = song.stepFirstFrame[s];
                std::fprintf(out, "order line %4d  frame %5d  %3d:%05.2f\n", score.order[s].line, f,
                             f / FramesPerMinute, (f % FramesPerMinute) / rate);
            }
            const size_t n = song.frames.size();
            std::fprintf(out, "%zu frames, %zu:%05.2f, %zu bytes\n", n, n / FramesPerMinute,
                         (n % FramesPerMinute) / rate, bytes.size());
        }
    } catch (const songc::ScoreError& e) {
        return tooltext::ReportSourceError(input, {e.line, e.what()});
    }

    if (!output.empty() && !tooltext::WriteFileBytes(output, bytes)) return ExitFailure;
    if (!wav.empty() && !WriteSongWav(bytes, frames, wav)) return ExitFailure;
    return 0;
}
