// The data-file helpers on the Windows run time, where replacing an existing
// file by rename and copying folders behave differently from POSIX.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/atomic_file.h"
#include "core/backups.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

std::string contents_of(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(WindowsDataFilesTest, ReplacingAnExistingFileWorks) {
    fs::path folder = fresh_folder("atomic-file");
    fs::path target = folder / "houses.dat";
    ASSERT_TRUE(replace_file(target, "first\n"));
    ASSERT_TRUE(replace_file(target, "second\n"));
    EXPECT_EQ(contents_of(target), "second\n");
    EXPECT_FALSE(fs::exists(folder / "houses.dat.tmp"));
}

TEST(WindowsDataFilesTest, BackupsRotateOverExistingCopies) {
    fs::path folder = fresh_folder("backups");
    std::string base = (folder / "5").string();
    fs::create_directories(base);
    fs::create_directories(base + ".backup1");
    std::ofstream(base + "/houses.dat") << "now";
    std::ofstream(base + ".backup1/houses.dat") << "before";

    rotate_backups(base, 2);
    rotate_backups(base, 2);  // a second time over copies that exist

    EXPECT_EQ(contents_of(base + ".backup1/houses.dat"), "now");
    EXPECT_EQ(contents_of(base + ".backup2/houses.dat"), "now");
}

}  // namespace
}  // namespace corvalen::test
