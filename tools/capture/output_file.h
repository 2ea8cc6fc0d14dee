// Output files that report every failure with the file's name and reason.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct OutputFile {
    std::string path;
    std::FILE* file = nullptr;
    bool failed = false;
    bool toStandardOutput = false;

    // Opens `path` for writing (binary), or reports why it can't and returns
    // false. "-" stands for standard output.
    bool Open(const std::string& path);
    // Writes all bytes, or reports the failure once and returns false.
    bool Write(const void* data, size_t size);
    // Closes, reporting a failure to flush; false if anything failed.
    bool Close();
    ~OutputFile();
};
