// Fuzz inputs reach the intro the way real data does: as files in the
// current directory. Each target works in a private temporary directory.
#pragma once

#include <cstddef>
#include <cstdint>

// Makes a fresh temporary directory the current directory (once per process).
void EnterFuzzDirectory();

// Replaces the named file with `size` bytes of `data`.
void WriteFuzzFile(const char* name, const uint8_t* data, size_t size);
