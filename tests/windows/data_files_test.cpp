// The data-file helpers on the Windows run time, where replacing an existing
// file by rename and copying folders behave differently from POSIX, file
// names are wide, and text files may end at a Ctrl-Z.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/atomic_file.h"
#include "core/backups.h"
#include "core/config.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

std::string contents_of(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(WindowsDataFilesTest, FilesAndBackupsAreReplacedOverExistingOnes) {
    std::string base = (fs::path(fresh_folder("replace")) / "5").string();
    fs::create_directories(base + ".backup1");
    fs::create_directories(base);
    fs::path houses = fs::path(base) / "houses.dat";
    ASSERT_TRUE(replace_file(houses, "before"));
    ASSERT_TRUE(replace_file(houses, "now"));
    EXPECT_FALSE(fs::exists(fs::path(base) / "houses.dat.tmp"));
    std::ofstream(base + ".backup1/houses.dat") << "before";

    rotate_backups(base, 2);
    rotate_backups(base, 2);  // a second time over copies that exist

    EXPECT_EQ(contents_of(houses), "now");
    EXPECT_EQ(contents_of(base + ".backup1/houses.dat"), "now");
    EXPECT_EQ(contents_of(base + ".backup2/houses.dat"), "now");
}

// Letters outside the ANSI code page too: a narrow name would garble them.
TEST(WindowsDataFilesTest, BackupsCopyFilesWithNonAsciiNamesAndLeaveNoTemporary) {
    fs::path folder = fresh_folder("backups-wide-names");
    fs::path base = folder / "5";
    const fs::path house = L"d\u016Fm_\u00E9t\u0159.csv";
    fs::create_directories(base / L"gar\u00E1\u017E");
    std::ofstream(base / house, std::ios::binary) << "house";
    std::ofstream(base / L"gar\u00E1\u017E" / house, std::ios::binary) << "garage";
    std::ofstream(base / "zz_last.csv", std::ios::binary) << "last";

    rotate_backups(base.string(), 1);

    fs::path backup = base.string() + ".backup1";
    EXPECT_EQ(contents_of(backup / house), "house");
    EXPECT_EQ(contents_of(backup / L"gar\u00E1\u017E" / house), "garage");
    EXPECT_EQ(contents_of(backup / "zz_last.csv"), "last") << "every file copied";
    int temporaries = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        temporaries += entry.path().extension() == ".tmp" ? 1 : 0;
    EXPECT_EQ(temporaries, 0);
}

// Old editors may end a file with Ctrl-Z; read as text, the file ends there
// instead of the byte sticking to the last value.
TEST(WindowsDataFilesTest, TheConfigurationFileEndsAtACtrlZ) {
    fs::path file = fs::path(fresh_folder("config-ctrl-z")) / "corvalen.conf";
    std::ofstream(file, std::ios::binary)
        << "max_busses = 8\r\nblip_hotels=true\x1A\nmax_ships=3\n";
    Config config(file.string());
    EXPECT_EQ(config.get_int("max_busses", 6), 8);
    EXPECT_TRUE(config.get_bool("blip_hotels", false));
    EXPECT_EQ(config.find("max_ships"), nullptr) << "nothing after the Ctrl-Z is read";
}

}  // namespace
}  // namespace corvalen::test
