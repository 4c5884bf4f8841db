// Allocating a save identity from the data folder's entries.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <optional>

#include "core/save_tracker.h"
#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;

class SaveIdentityTest : public ::testing::Test {
  protected:
    test::WorkingFolder folder;
    SaveTracker tracker{"corvalen", 0, 0};
};

TEST_F(SaveIdentityTest, AMissingDataFolderIsCreatedAndTheFirstIdentityIsOne) {
    EXPECT_EQ(tracker.allocate_save_identity(), 1);
    EXPECT_TRUE(fs::is_directory("corvalen"));
    EXPECT_EQ(tracker.allocate_save_identity(), 1);  // allocating does not use the number up
}

TEST_F(SaveIdentityTest, BackupFoldersCountAsTheirSave) {
    fs::create_directories("corvalen/1");
    fs::create_directories("corvalen/2");
    fs::create_directories("corvalen/2.backup1");
    EXPECT_EQ(tracker.allocate_save_identity(), 3);
    fs::create_directories("corvalen/9.backup4");
    EXPECT_EQ(tracker.allocate_save_identity(), 10);
}

TEST_F(SaveIdentityTest, EntriesWithoutLeadingDigitsCountAsZeroAndFilesOnlyWhenAllDigits) {
    fs::create_directories("corvalen/2");
    fs::create_directories("corvalen/backups");
    fs::create_directories("corvalen/-8");
    test::write_file("corvalen/17.csv", "");
    test::write_file("corvalen/corvalen.conf", "");
    EXPECT_EQ(tracker.allocate_save_identity(), 3);
    test::write_file("corvalen/40", "");
    EXPECT_EQ(tracker.allocate_save_identity(), 41);
}

TEST_F(SaveIdentityTest, LargeNumbersStayExact) {
    // Above 2^24 a float maximum would hand out 16777216 again.
    fs::create_directories("corvalen/16777216");
    fs::create_directories("corvalen/16777217");
    EXPECT_EQ(tracker.allocate_save_identity(), 16777218);
    fs::create_directories("corvalen/2147483646");
    EXPECT_EQ(tracker.allocate_save_identity(), std::numeric_limits<std::int32_t>::max());
}

// Nothing is free above the top of the range, and the top itself may be taken.
TEST_F(SaveIdentityTest, NoneWhenTheLargestNumberIsAtTheTopOfTheRange) {
    for (const char* name :
         {"corvalen/2147483647", "corvalen/99999999999", "corvalen/2147483648.backup1"}) {
        fs::remove_all("corvalen");
        fs::create_directories(name);
        EXPECT_EQ(tracker.allocate_save_identity(), std::nullopt) << name;
    }
    fs::remove_all("corvalen");
    test::write_file("corvalen/99999999999", "");
    EXPECT_EQ(tracker.allocate_save_identity(), std::nullopt) << "a file named by digits";
}

TEST_F(SaveIdentityTest, TheCurrentDirectoryIsListedButNotCreated) {
    SaveTracker here;
    fs::create_directories("4");
    EXPECT_EQ(here.allocate_save_identity(), 5);
}

}  // namespace
}  // namespace corvalen
