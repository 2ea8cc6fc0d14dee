#include "ffmpeg_pipe.h"

#include <cstdlib>

#ifndef _WIN32
#include <sys/wait.h>
#endif

std::string QuoteArgument(const std::string& argument)
{
#ifdef _WIN32
    // cmd.exe and the C runtime's argument parser: double quotes, inner
    // quotes doubled up by a backslash.
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
#else
    std::string quoted = "'";
    for (char c : argument) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
#endif
}

bool FfmpegPresent()
{
#ifdef _WIN32
    return std::system("ffmpeg -version >NUL 2>&1") == 0;
#else
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
#endif
}

std::string VideoEncoderCommand(unsigned framesPerSecond, const std::string& audioPath,
                                const std::string& outputPath)
{
    // yuv420p: what every player takes (ffmpeg picks the nearest format when
    // the chosen codec has none such, as for a GIF).
    return "ffmpeg -hide_banner -loglevel error -y"
           " -f rawvideo -pixel_format bgr0 -video_size 640x400 -framerate " +
           std::to_string(framesPerSecond) + " -i -"
           " -i " + QuoteArgument(audioPath) +
           " -map 0:v:0 -map 1:a:0 -pix_fmt yuv420p " + QuoteArgument(outputPath);
}

std::FILE* OpenCommandPipe(const std::string& command)
{
#ifdef _WIN32
    return _popen(command.c_str(), "wb");
#else
    return popen(command.c_str(), "w");
#endif
}

bool CloseCommandPipe(std::FILE* pipe)
{
#ifdef _WIN32
    return _pclose(pipe) == 0;
#else
    const int status = pclose(pipe);
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}
