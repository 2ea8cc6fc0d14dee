// The tone, noise and envelope generators and the start-up preparation of
// their tables. Every generator is a phase accumulator whose step follows
// from a 125,000 Hz divider clock and the 44,100 Hz sample rate.
#pragma once

#include <cstdint>

// Start-up, in this order (LoadSong runs them).
void ResetPlayer();          // voices, mixer and tone blocks to their start values
void BuildNoiseTable();      // the 16384 noise values
void PrepareLevelTables();   // halves VolumeTable and turns the patterns into amplitudes

// Selects the envelope pattern of `shape` (low 4 bits) and restarts it.
void RestartEnvelope(uint32_t shape);

// Writes `count` samples from index `start` into the noise block, the
// envelope block and the three tone blocks, in that order.
void GenerateBlock(int32_t start, int32_t count);

// Phase steps per sample.
uint32_t ToneStep(uint32_t period);        // 2^32 units per cycle; low 12 bits of period count
uint32_t EnvelopeStep(int32_t period);     // 2^26 units per pattern entry
uint32_t NoiseStep(int32_t noisePeriod);   // 2^16 units per table entry
