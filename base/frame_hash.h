// FNV-1a, 64-bit: the fingerprint of a frame's picture.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint64_t FnvOffsetBasis = 0xcbf29ce484222325ull;
constexpr uint64_t FnvPrime = 0x100000001b3ull;

// Continues `hash` over `size` bytes.
uint64_t Fnv1a64(const void* data, size_t size, uint64_t hash = FnvOffsetBasis);

// The hash of `count` 32-bit pixels taken as their little-endian bytes
// (blue, green, red, 0 for a 0x00RRGGBB pixel), whatever the host's order.
uint64_t HashPixels(const uint32_t* pixels, size_t count);

// 16 lowercase hex digits and a terminating zero.
void FormatHash(uint64_t hash, char (&text)[17]);
