// libFuzzer's entry for one target; FUZZ_ENTRY names its function in
// fuzz_entries.h. A property that fails stops the run like a crash.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!FUZZ_ENTRY(data, size)) __builtin_trap();
    return 0;
}
