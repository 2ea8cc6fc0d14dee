#include "app/asset_files.h"

#include <climits>

int32_t FileSize(std::FILE* file)
{
    const long position = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, position < 0 ? 0 : position, SEEK_SET);
    // A directory opens as a stream on some systems and reports a huge or
    // negative size; treat anything unrepresentable as "no size".
    if (size < 0 || size > INT32_MAX) return -1;
    return static_cast<int32_t>(size);
}

int32_t FileSizeByName(const char* name)
{
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return -1;
    const int32_t size = FileSize(file);
    std::fclose(file);
    return size;
}

int32_t ReadWholeFile(const char* name, void* destination, size_t capacity)
{
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return 0;
    const int32_t size = FileSize(file);
    if (size > 0) {
        const size_t wanted = static_cast<size_t>(size) < capacity ? static_cast<size_t>(size) : capacity;
        // A short read is not an error: the rest of the buffer keeps what it had.
        (void)std::fread(destination, 1, wanted, file);
    }
    std::fclose(file);
    return size < 0 ? 0 : size;
}
