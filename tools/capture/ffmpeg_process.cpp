#include "ffmpeg_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/stream_format.h"

extern char** environ;

namespace {

// A pipe whose ends sit above the standard descriptors and 3, so that the
// child's dup2 onto 0 and 3 always makes a new descriptor (one that keeps
// no close-on-exec flag).
bool MakePipe(int ends[2])
{
    int raw[2];
    if (pipe(raw) != 0) return false;
    for (int i = 0; i < 2; i++) {
        ends[i] = fcntl(raw[i], F_DUPFD_CLOEXEC, 10);
        close(raw[i]);
    }
    if (ends[0] >= 0 && ends[1] >= 0) return true;
    for (int i = 0; i < 2; i++)
        if (ends[i] >= 0) close(ends[i]);
    return false;
}

}   // namespace

std::vector<std::string> FfmpegArguments(const VideoEncoding& encoding)
{
    const std::string rate = std::to_string(encoding.framesPerSecond);
    const std::string sampleRate = std::to_string(StreamSampleRate);
    std::vector<std::string> args = {"-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-y",
                                     "-thread_queue_size",
                                     "64",
                                     "-f",
                                     "rawvideo",
                                     "-pixel_format",
                                     "bgr0",
                                     "-video_size",
                                     "640x400",
                                     "-framerate",
                                     rate,
                                     "-i",
                                     "pipe:0",
                                     "-thread_queue_size",
                                     "64",
                                     "-f",
                                     "s16le",
                                     "-sample_rate",
                                     sampleRate,
                                     "-channels",
                                     "1",
                                     "-i",
                                     "pipe:3",
                                     "-map",
                                     "0:v:0",
                                     "-map",
                                     "1:a:0"};
    if (encoding.scale > 1) {
        const std::string factor = std::to_string(encoding.scale);
        args.insert(args.end(), {"-vf", "scale=iw*" + factor + ":ih*" + factor +
                                            ":flags=neighbor+accurate_rnd+full_chroma_int:out_color_matrix=bt709"});
    }
    // 4:2:0 is what every player and site takes; at twice the size each
    // picture pixel keeps a chroma sample of its own. 4:4:4 (High 4:4:4
    // Predictive) keeps the colours through any converter, for the players
    // that decode it.
    args.insert(args.end(), {"-c:v",
                             "libx264",
                             "-preset",
                             "faster",
                             "-tune",
                             "animation",
                             "-crf",
                             std::to_string(encoding.quality),
                             "-pix_fmt",
                             encoding.fullChroma ? "yuv444p" : "yuv420p",
                             "-colorspace",
                             "bt709",
                             "-color_primaries",
                             "bt709",
                             "-color_trc",
                             "bt709",
                             "-c:a",
                             "aac",
                             "-b:a",
                             "192k",
                             "-movflags",
                             "+faststart",
                             encoding.outputPath});
    return args;
}

bool StartFfmpeg(const std::vector<std::string>& arguments, FfmpegProcess& process, std::string& error)
{
    int frames[2], sound[2];
    if (!MakePipe(frames)) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    if (!MakePipe(sound)) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        close(frames[0]);
        close(frames[1]);
        return false;
    }
    std::vector<char*> argv;
    std::string program = "ffmpeg";
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, frames[0], 0);
    posix_spawn_file_actions_adddup2(&actions, sound[0], 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(frames[0]);
    close(sound[0]);
    if (result != 0) {
        error = result == ENOENT ? "not found" : std::strerror(result);
        close(frames[1]);
        close(sound[1]);
        return false;
    }
    process.pid = pid;
    process.frames = frames[1];
    process.sound = sound[1];
    return true;
}

bool WriteAll(int fd, const void* data, size_t size, bool (*stop)())
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR && !stop()) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
        if (stop()) return false;
    }
    return true;
}

void ClosePipe(int& fd)
{
    if (fd >= 0) close(fd);
    fd = -1;
}

bool WaitForFfmpeg(FfmpegProcess& process)
{
    if (process.pid < 0) return false;
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(process.pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    process.pid = -1;
    return waited >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void KillFfmpeg(FfmpegProcess& process)
{
    if (process.pid < 0) return;
    kill(process.pid, SIGKILL);
    WaitForFfmpeg(process);
}
