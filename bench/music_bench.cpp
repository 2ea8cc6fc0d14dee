// One second of sound from the FillCallback, asked for as the SoundServer
// asks: 1764-byte (20 ms) regions, from a steady state well after the start.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "music/player.h"
#include "music/player_state.h"
#include "music/song_decoder.h"
#include "base/stream_format.h"

namespace {

constexpr uint32_t RegionMilliseconds = 20;
constexpr uint32_t RegionBytes = StreamBytesPerSecond * RegionMilliseconds / 1000;   // 1764
constexpr int RegionsPerSecond = StreamBytesPerSecond / RegionBytes;                 // 50

// A minute of raw frames that keep every part busy: all three tones and
// noises on, two voices on the envelope, periods and shapes changing.
std::vector<uint8_t> BusySong()
{
    std::vector<uint8_t> song;
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int frame = 0; frame < 3000; ++frame) {
        const uint16_t periods[3] = {static_cast<uint16_t>(30 + next() % 1500),
                                     static_cast<uint16_t>(30 + next() % 800),
                                     static_cast<uint16_t>(30 + next() % 3000)};
        for (uint16_t p : periods) {
            song.push_back(static_cast<uint8_t>(p));
            song.push_back(static_cast<uint8_t>(p >> 8));
        }
        song.push_back(static_cast<uint8_t>(next() & 31));   // noise period
        song.push_back(0x00);                                // every tone and noise on
        song.push_back(static_cast<uint8_t>(0x10 | (next() & 15)));
        song.push_back(static_cast<uint8_t>(next() & 15));
        song.push_back(0x1F);
        song.push_back(static_cast<uint8_t>(next()));       // envelope period low
        song.push_back(static_cast<uint8_t>(next() & 3));   // and high
        song.push_back(frame % 10 == 0 ? static_cast<uint8_t>(8 + frame / 10 % 8) : 255);
    }
    return song;
}

void LoadBusySong()
{
    static const std::vector<uint8_t> song = BusySong();
    RestorePlayerStartState();
    LoadSong(AssetFromBytes(song));
}

alignas(64) int16_t Region[RegionBytes / StreamBytesPerSample];

void FillCallbackOneSecond(benchmark::State& state)
{
    LoadBusySong();
    // Past the start countdown and ten seconds in: the echo history is full.
    for (int call = 0; call < 9 + 10 * RegionsPerSecond; ++call) FillCallback(Region, RegionBytes);
    for (auto _ : state) {
        for (int call = 0; call < RegionsPerSecond; ++call) {
            FillCallback(Region, RegionBytes);
            benchmark::DoNotOptimize(Region);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * StreamSampleRate);
    state.counters["x_real_time"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(FillCallbackOneSecond)->Unit(benchmark::kMicrosecond);

}   // namespace
