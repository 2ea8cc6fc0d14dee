// The whole process of the capture tool, started afresh each time: `frames 1`
// (loading, setting up, drawing and hashing the first frame) and `--version`
// (the process's own cost: loading, linking, parsing the command line). The
// start-up to the first frame is the first less the second; take medians
// (--benchmark_repetitions=10). Wall time: the work is the child's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

void RunCapture(benchmark::State& state, std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), QUILLMOOR_CAPTURE_EXE);
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, arguments[0], &quiet, nullptr, const_cast<char**>(arguments.data()), environ) != 0 ||
            waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the capture tool did not run to a clean end");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
}

BENCHMARK_CAPTURE(RunCapture, Version, {"--version"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(RunCapture, FirstFrame, {"--assets", QUILLMOOR_ASSETS_DIR, "frames", "1"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}   // namespace
