// The ffmpeg program started directly with an argument list (no shell),
// fed the frames through its standard input and the sound through a second
// pipe that it reads as file descriptor 3. POSIX systems only.
#pragma once

#include <string>
#include <vector>

struct FfmpegProcess {
    int pid = -1;
    int frames = -1;   // our end of the pipe that ffmpeg reads as its input 0 ("pipe:0")
    int sound = -1;    // our end of the pipe that ffmpeg reads as its input 1 ("pipe:3")
};

// What ffmpeg is asked to make.
struct VideoEncoding {
    unsigned framesPerSecond = 50;
    unsigned scale = 2;        // nearest-neighbour, whole number
    unsigned quality = 6;      // x264 constant-rate factor
    bool fullChroma = false;   // 4:4:4 instead of 4:2:0
    std::string outputPath;    // its extension picks the container
};

// ffmpeg's arguments after the program name: 640 x 400 frames of 32-bit
// pixels (blue, green, red, unused byte) and 16-bit mono samples at 44,100
// Hz in; H.264 (4:2:0 or 4:4:4, constant quality) and AAC out.
std::vector<std::string> FfmpegArguments(const VideoEncoding& encoding);

// Starts ffmpeg from the PATH in a process group of its own (a Ctrl-C meant
// for this program is handled here, which stops ffmpeg itself). False, with
// `error` set, if it can't be started; "not found" when it isn't on the PATH.
bool StartFfmpeg(const std::vector<std::string>& arguments, FfmpegProcess& process, std::string& error);

// Writes all `size` bytes to `fd`, going on after interruptions unless
// `stop` says otherwise. False on a failed write or when stopped.
bool WriteAll(int fd, const void* data, size_t size, bool (*stop)());

// Closes one of our pipe ends (if open).
void ClosePipe(int& fd);

// Waits for ffmpeg to end; true if it exited with status 0.
bool WaitForFfmpeg(FfmpegProcess& process);

// Ends ffmpeg at once and waits for it.
void KillFfmpeg(FfmpegProcess& process);
