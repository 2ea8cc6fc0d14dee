// The inotify watch on a real folder: a file written in place and one
// renamed over are both reported, for the followed names only.
#if defined(__linux__)
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/posix/file_watch.h"
#include "support/scratch_dir.h"

namespace {

TEST(FileWatch, WritingInPlaceAndRenamingOverAreSeenForTheFollowedNamesOnly)
{
    ScratchDir scratch("file-watch");
    std::filesystem::create_directory("sub");
    WriteFile("song.dmp", {1, 2, 3});
    WriteFile("sub/logo.bmp", {4});
    FileWatch watch;
    std::string reason;
    ASSERT_TRUE(OpenFileWatch(watch, reason)) << reason;
    const std::string folder = scratch.path().string();
    ASSERT_EQ(FollowFile(watch, folder + "/song.dmp", reason), 0) << reason;
    ASSERT_EQ(FollowFile(watch, "sub/logo.bmp", reason), 1) << reason;
    ASSERT_EQ(FollowFile(watch, "page.txt", reason), 2) << reason;   // the current folder; not there yet
    EXPECT_EQ(FollowFile(watch, "nowhere/page.txt", reason), -1);
    EXPECT_EQ(TakeChangedFiles(watch), 0u);

    WriteFile("song.dmp", {5, 6});   // in place
    WriteFile("other.dmp", {7});     // beside it, not followed
    EXPECT_EQ(TakeChangedFiles(watch), 1u << 0);
    EXPECT_EQ(TakeChangedFiles(watch), 0u);

    WriteFile("sub/logo.bmp.new", {8});
    std::filesystem::rename("sub/logo.bmp.new", "sub/logo.bmp");   // renamed over
    WriteFile("page.txt", {'A'});
    EXPECT_EQ(TakeChangedFiles(watch), 1u << 1 | 1u << 2);
    std::filesystem::remove("sub/logo.bmp");
    EXPECT_EQ(TakeChangedFiles(watch), 1u << 1);
    CloseFileWatch(watch);
}

}   // namespace
#endif
