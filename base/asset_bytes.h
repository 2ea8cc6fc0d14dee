// An asset file's contents as the shell read them, handed to the part of the
// program that owns the file's buffer. The loaders never open files: the
// shell reads, the loaders copy what they need into their own fixed buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

struct AssetBytes {
    std::span<const uint8_t> bytes;   // what was read (a short read gives fewer bytes than fileSize)
    int32_t fileSize = -1;            // the size the file reported; -1 when it was missing
};

// Bytes that did not come from a file (tests, fuzzing): all of them, and
// their count as the size.
inline AssetBytes AssetFromBytes(std::span<const uint8_t> bytes)
{
    return {bytes, static_cast<int32_t>(bytes.size())};
}

// Copies the asset into a fixed buffer of `capacity` bytes: a longer file is
// cut at the buffer's end, and everything past the bytes read is zero.
inline void CopyAssetInto(const AssetBytes& asset, uint8_t* buffer, size_t capacity)
{
    const size_t length = asset.bytes.size() < capacity ? asset.bytes.size() : capacity;
    if (length > 0) std::memcpy(buffer, asset.bytes.data(), length);
    std::memset(buffer + length, 0, capacity - length);
}
