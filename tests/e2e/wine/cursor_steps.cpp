// Watches the play cursor of a ring opened as the program opens its own
// (DirectSound, the same device code) and prints the steps it moves in, so
// a test can say how coarse an output's cursor is. Plays silence.
//
// Usage: quillmoor_cursor_steps [SECONDS]   (default 3)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "sound/dsound/dsound_device.h"
#include "sound/sound_server.h"

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    SoundDevice* device = nullptr;
    SoundBuffer* primary = nullptr;
    SoundBuffer* ring = nullptr;
    if (DirectSoundDevice.open(GetDesktopWindow(), RingBytes, &device, &primary, &ring) != 0) {
        std::printf("FAIL: no sound device\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    PlayPosition last{};
    DirectSoundDevice.getPlayPosition(ring, &last);
    std::vector<uint32_t> steps;
    std::map<uint32_t, int> histogram;   // step in ms -> count
    for (;;) {
        Sleep(1);
        QueryPerformanceCounter(&now);
        if (double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart) >= seconds) break;
        PlayPosition position{};
        if (DirectSoundDevice.getPlayPosition(ring, &position) != 0 || position.playCursor == last.playCursor) continue;
        const uint32_t step = (position.playCursor - last.playCursor + RingBytes) % RingBytes;
        steps.push_back(step);
        ++histogram[(step * 1000 + 44100) / 88200];
        last = position;
    }
    if (steps.empty()) {
        std::printf("FAIL: the cursor never moved\n");
        return 1;
    }
    std::sort(steps.begin(), steps.end());
    const auto ms = [](uint32_t bytes) { return double(bytes) / 88.2; };
    std::printf("cursor steps: %zu in %.1f s; smallest %.1f ms, median %.1f ms, largest %.1f ms\n", steps.size(),
                seconds, ms(steps.front()), ms(steps[steps.size() / 2]), ms(steps.back()));
    std::printf("steps by size (ms: count):");
    for (const auto& [size, count] : histogram) std::printf(" %u: %d", size, count);
    std::printf("\n");
    return 0;
}
