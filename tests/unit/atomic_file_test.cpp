// Replacing data files through a temporary file.

#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileTest, CreatesAndReplacesWithoutLeavingTheTemporary) {
    test::WorkingFolder folder;
    fs::create_directories("corvalen/1");
    EXPECT_TRUE(replace_file("corvalen/1/a.csv", "first\n"));
    EXPECT_EQ(test::read_file("corvalen/1/a.csv"), "first\n");
    EXPECT_TRUE(replace_file("corvalen/1/a.csv", "second"));
    EXPECT_EQ(test::read_file("corvalen/1/a.csv"), "second");
    EXPECT_TRUE(replace_file("corvalen/1/a.csv", ""));
    EXPECT_EQ(test::read_file("corvalen/1/a.csv"), "");
    EXPECT_FALSE(fs::exists("corvalen/1/a.csv.tmp"));
}

TEST(AtomicFileTest, AFailedWriteKeepsTheOldFile) {
    test::WorkingFolder folder;
    test::write_file("corvalen/1/a.csv", "old");
    // A directory where the temporary file would go makes the write fail.
    fs::create_directories("corvalen/1/a.csv.tmp");
    EXPECT_FALSE(replace_file("corvalen/1/a.csv", "new"));
    EXPECT_EQ(test::read_file("corvalen/1/a.csv"), "old");

    EXPECT_FALSE(replace_file("corvalen/missing/a.csv", "new"));
    EXPECT_FALSE(fs::exists("corvalen/missing"));
}

}  // namespace
}  // namespace corvalen
