// songc: compiles a plain-text score into a register-dump song.
//
//   songc SCORE [-o OUTPUT] [--wav WAV] [--raw] [--summary]
//
// Writes the "YMDX" delta format unless --raw is given; --wav plays one pass
// of the song through the intro's player into a WAV file; --summary prints
// the frame at which each order line starts. Errors name the score's line
// ("SCORE:LINE: error: ..."); a bad command line exits 2, any other failure 1.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "dump_writer.h"
#include "score.h"
#include "song_listen.h"
#include "song_render.h"
#include "base/error_report.h"
#include "tool_command_line.h"

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

    std::ifstream in(input, std::ios::binary);
    if (!in) {
        ReportError("cannot read " + input + ": " + std::strerror(errno));
        return ExitFailure;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<uint8_t> bytes;
    size_t frames = 0;
    try {
        const songc::Score score = songc::ParseScore(text.str());
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
            std::FILE* text = wav == "-" ? stderr : stdout;
            for (size_t s = 0; s < song.stepFirstFrame.size(); ++s) {
                const int f = song.stepFirstFrame[s];
                std::fprintf(text, "order line %4d  frame %5d  %3d:%05.2f\n", score.order[s].line, f, f / 50 / 60,
                             (f % 3000) / 50.0);
            }
            const size_t n = song.frames.size();
            std::fprintf(text, "%zu frames, %zu:%05.2f, %zu bytes\n", n, n / 3000, (n % 3000) / 50.0, bytes.size());
        }
    } catch (const songc::ScoreError& e) {
        if (e.line > 0) {
            ReportErrorAt(input, e.line, e.what());
        } else {
            ReportError(input + ": " + e.what());
        }
        return ExitFailure;
    }

    if (!output.empty()) {
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            ReportError("cannot write " + output);
            return ExitFailure;
        }
    }
    std::string error;
    if (!wav.empty() && !WriteSongWav(bytes, frames, wav, error)) {
        ReportError(error);
        return ExitFailure;
    }
    return 0;
}
