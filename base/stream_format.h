// The sound stream as every part of the program makes, plays, records and
// writes it: 16-bit signed little-endian mono samples at StreamSampleRate,
// faded in and out over FadeSamples where an output starts and stops; the
// song behind it advances ReplayRate register frames a second, and the
// player holds at most SongBufferSize bytes of a song file (it never reads
// further, so a longer file may be cut there without changing a sample).
#pragma once

#include <cstdint>

constexpr uint32_t StreamSampleRate = 44100;
constexpr uint32_t StreamBytesPerSample = 2;
constexpr uint32_t StreamBytesPerSecond = StreamSampleRate * StreamBytesPerSample;

constexpr uint32_t FadeMilliseconds = 20;
constexpr uint32_t FadeSamples = StreamSampleRate * FadeMilliseconds / 1000;   // 882

constexpr int32_t ReplayRate = 50;           // song frames per second
constexpr int32_t SongBufferSize = 512004;   // largest song ever read, in bytes
