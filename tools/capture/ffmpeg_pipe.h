// The ffmpeg program, fed raw frames through a pipe.
#pragma once

#include <cstdio>
#include <string>

// One argument quoted for the command interpreter that popen runs: sh on
// POSIX systems, cmd.exe on Windows.
std::string QuoteArgument(const std::string& argument);

// True when `ffmpeg -version` runs.
bool FfmpegPresent();

// The command that encodes 640 x 400 frames of 32-bit pixels (blue, green,
// red, unused byte), `framesPerSecond` of them a second, read from its
// standard input, together with the sound in the WAV file `audioPath`,
// into `outputPath`; the container and codecs follow the file's extension.
std::string VideoEncoderCommand(unsigned framesPerSecond, const std::string& audioPath,
                                const std::string& outputPath);

// Starts `command` with a pipe to its standard input (binary).
std::FILE* OpenCommandPipe(const std::string& command);

// Closes the pipe and waits for the command; true if it exited with 0.
bool CloseCommandPipe(std::FILE* pipe);
