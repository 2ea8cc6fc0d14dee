#include "fuzz_files.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void EnterFuzzDirectory()
{
    static bool entered = false;
    if (entered) return;
    char pattern[] = "/tmp/quillmoor-fuzz-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0) std::abort();
    entered = true;
}

void WriteFuzzFile(const char* name, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(name, "wb");
    if (!file) std::abort();
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
}
