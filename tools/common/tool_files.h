// The files a tool reads and writes. Every failure is reported on standard
// error with the file's name and the system's reason:
//   PROGRAM: error: cannot read PATH: REASON
//   PROGRAM: error: cannot write PATH: REASON
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace tooltext {

// Reads the whole of `path` into `text`, or reports why it can't and returns
// false (a folder, too, is a file that can't be read).
bool ReadTextFile(const std::string& path, std::string& text);

// A file written piece by piece. The first failure is reported once; later
// writes do nothing and return false.
struct OutputFile {
    std::string path;
    std::FILE* file = nullptr;
    bool failed = false;
    bool toStandardOutput = false;

    // Opens `path` for writing (binary), or reports why it can't and returns
    // false. "-" stands for standard output.
    bool Open(const std::string& path);
    // Writes all bytes, or reports the failure and returns false.
    bool Write(const void* data, size_t size);
    // Closes, reporting a failure to flush; false if anything failed.
    bool Close();
    ~OutputFile();
};

// Writes `bytes` as the whole of `path` ("-": standard output), or reports
// why it can't and returns false.
bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes);

}   // namespace tooltext
