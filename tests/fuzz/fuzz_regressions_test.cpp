// The fuzz targets' inputs replayed through each target's own entry: the
// corpus in corpus/<target>/ (a few dozen inputs, merged and minimised by
// the fuzzer, that between them reach what the fuzzer has reached), and every
// input a target ever broke, kept in regressions/<target>/: a fault once
// found stays found.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_entries.h"

namespace {

namespace fs = std::filesystem;

// Replays every input in `folder` (dot files aside); returns how many.
int ReplayAll(const fs::path& folder, bool (*entry)(const uint8_t*, size_t))
{
    int replayed = 0;
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
    if (!fs::is_directory(folder)) return 0;
    for (const fs::directory_entry& file : fs::directory_iterator(folder)) {
        if (!file.is_regular_file() || file.path().filename().string().starts_with(".")) continue;
        std::ifstream stream(file.path(), std::ios::binary);
        const std::vector<uint8_t> input{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(entry(input.data(), input.size())) << file.path();
        ++replayed;
    }
    return replayed;
}

// Fewer than this many inputs in a target's corpus means it went missing or
// was emptied: every target's corpus holds more.
constexpr int LeastCorpus = 10;

void ReplayCorpus(const char* target, bool (*entry)(const uint8_t*, size_t))
{
    const fs::path folder = fs::path(QUILLMOOR_FUZZ_CORPUS_DIR) / target;
    EXPECT_GE(ReplayAll(folder, entry), LeastCorpus) << folder << " has lost its inputs";
}

void ReplayRegressions(const char* target, bool (*entry)(const uint8_t*, size_t))
{
    ReplayAll(fs::path(QUILLMOOR_FUZZ_REGRESSIONS_DIR) / target, entry);
}

TEST(FuzzCorpus, Song)
{
    ReplayCorpus("song_fuzz", FuzzSong);
}
TEST(FuzzCorpus, Font)
{
    ReplayCorpus("font_fuzz", FuzzFont);
}
TEST(FuzzCorpus, Logo)
{
    ReplayCorpus("logo_fuzz", FuzzLogo);
}

TEST(FuzzRegressions, Song)
{
    ReplayRegressions("song_fuzz", FuzzSong);
}
TEST(FuzzRegressions, Font)
{
    ReplayRegressions("font_fuzz", FuzzFont);
}
TEST(FuzzRegressions, Logo)
{
    ReplayRegressions("logo_fuzz", FuzzLogo);
}

}   // namespace
