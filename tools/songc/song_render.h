// Plays a Score frame by frame into the values of the chip's 14 registers,
// 50 frames per second.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "score.h"

namespace songc {

constexpr int RegisterCount = 14;
constexpr int ShapeRegister = 13;

struct RegisterFrame {
    std::array<uint8_t, RegisterCount> regs{};
    bool restartEnvelope = false;   // the shape register is written this frame
};

struct RenderedSong {
    std::vector<RegisterFrame> frames;
    std::vector<int> stepFirstFrame;   // frame at which each order line begins
};

// Tone period of a semitone number (A-4 = 69 = 440 Hz): round(125,000 / f).
int TonePeriod(int semitone);

// Throws ScoreError for notes outside the chip's range and for two voices
// that need the one noise source or the one envelope differently at once.
RenderedSong RenderSong(const Score& score);

}   // namespace songc
