// A self-contained zlib stream writer (no zlib library, so the tool builds
// the same everywhere): LZ77 matching over a 32 KiB window coded with the
// fixed Huffman codes of deflate, or stored blocks when those come out
// smaller, then the Adler-32 of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Continues `adler` (1 for a new stream) over `size` bytes.
uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

// The deflate data alone (RFC 1951): one fixed-Huffman block, or stored
// blocks of at most 65535 bytes when that is shorter.
std::vector<uint8_t> Deflate(const uint8_t* data, size_t size);

// A whole zlib stream (RFC 1950): header, deflate data, Adler-32.
std::vector<uint8_t> ZlibCompress(const uint8_t* data, size_t size);
