// The only ways data enters the program: whole asset files read by plain
// name from the current directory, and the two embedded "BIN" resources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Size of an open stream in bytes; the stream's position is left as it was.
// -1 when the stream has no size (a directory, a pipe).
int32_t FileSize(std::FILE* file);

// Size of the named file, or -1 if it can't be opened.
int32_t FileSizeByName(const char* name);

// Reads the named file from its start into `destination`, at most `capacity`
// bytes; a longer file fills the buffer and no more. Returns the file's size
// (also when it was cut short), or 0 if the file can't be opened, in which
// case the destination is untouched.
int32_t ReadWholeFile(const char* name, void* destination, size_t capacity);

// The bytes of embedded resource `id` (low 16 bits) of type "BIN", valid for
// the life of the process, or null when there is none. The size (0 for a
// missing resource) is stored when `size` is given.
const void* LoadBinResource(uint32_t id, uint32_t* size);
