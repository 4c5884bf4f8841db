// Replacing data files through a temporary file.

#include "core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "fresh_process.h"
#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileTest, ReplacesTheWholeFileOrNothing) {
    test::WorkingFolder folder;
    fs::create_directories("corvalen/1");
    for (const char* contents : {"first\n", "second", ""}) {
        EXPECT_TRUE(replace_file("corvalen/1/a.csv", contents));
        EXPECT_EQ(test::read_file("corvalen/1/a.csv"), contents);
    }
    EXPECT_FALSE(fs::exists("corvalen/1/a.csv.tmp"));

    // A directory where the temporary file would go makes the write fail.
    fs::create_directories("corvalen/1/a.csv.tmp");
    EXPECT_FALSE(replace_file("corvalen/1/a.csv", "new"));
    EXPECT_EQ(test::read_file("corvalen/1/a.csv"), "");
    EXPECT_TRUE(fs::is_directory("corvalen/1/a.csv.tmp")) << "not ours to remove";

    // A directory in the target's place makes the rename fail.
    test::write_file("corvalen/1/b.csv/inside", "in the way");
    EXPECT_FALSE(replace_file("corvalen/1/b.csv", "new"));
    EXPECT_FALSE(fs::exists("corvalen/1/b.csv.tmp"));

    EXPECT_FALSE(replace_file("corvalen/missing/a.csv", "new"));
    EXPECT_FALSE(fs::exists("corvalen/missing"));
}

// A full disk: with the file size limit at 0 (and its signal ignored) every
// write fails. Small contents sit in the buffer until the close, large ones
// fail while being written; neither may be renamed over the old file.
TEST(AtomicFileTest, AFullDiskKeepsTheOldFileAndLeavesNoTemporary) {
    test::WorkingFolder folder;
    test::run_in_fresh_process([] {
        test::write_file("corvalen/1/a.csv", "old");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 0;
        test::require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "file size limit set");

        for (std::size_t size : {std::size_t{5}, std::size_t{1} << 20}) {
            test::require(!replace_file("corvalen/1/a.csv", std::string(size, 'x')),
                          "the failed write reported");
            test::require(test::read_file("corvalen/1/a.csv") == "old", "the old file kept");
            test::require(!fs::exists("corvalen/1/a.csv.tmp"), "no temporary left");
        }
    });
}

}  // namespace
}  // namespace corvalen
