// Every input a fuzz target ever broke, kept in regressions/<target>/ and
// replayed through the target's own entry: a fault once found stays found.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_entries.h"

namespace {

namespace fs = std::filesystem;

void ReplayAll(const char* target, bool (*entry)(const uint8_t*, size_t))
{
    const fs::path folder = fs::path(QUILLMOOR_FUZZ_REGRESSIONS_DIR) / target;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    for (const fs::directory_entry& file : fs::directory_iterator(folder)) {
        if (!file.is_regular_file() || file.path().filename().string().starts_with(".")) continue;
        std::ifstream stream(file.path(), std::ios::binary);
        const std::vector<uint8_t> input{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(entry(input.data(), input.size())) << file.path();
    }
}

TEST(FuzzRegressions, Song)
{
    ReplayAll("song_fuzz", FuzzSong);
}
TEST(FuzzRegressions, Font)
{
    ReplayAll("font_fuzz", FuzzFont);
}
TEST(FuzzRegressions, Logo)
{
    ReplayAll("logo_fuzz", FuzzLogo);
}

}   // namespace
