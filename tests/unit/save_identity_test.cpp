// Allocating a save identity from the data folder's entries.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

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

TEST_F(SaveIdentityTest, FilesCountOnlyWhenNamedByDigits) {
    fs::create_directories("corvalen/2");
    test::write_file("corvalen/17.csv", "");
    test::write_file("corvalen/corvalen.conf", "");
    EXPECT_EQ(tracker.allocate_save_identity(), 3);
    test::write_file("corvalen/40", "");
    EXPECT_EQ(tracker.allocate_save_identity(), 41);
}

TEST_F(SaveIdentityTest, DirectoriesWithoutLeadingDigitsCountAsZero) {
    fs::create_directories("corvalen/backups");
    fs::create_directories("corvalen/-8");
    EXPECT_EQ(tracker.allocate_save_identity(), 1);
}

TEST_F(SaveIdentityTest, LargeNumbersStayExactAndSaturate) {
    // Above 2^24 a float maximum would hand out 16777216 again.
    fs::create_directories("corvalen/16777216");
    fs::create_directories("corvalen/16777217");
    EXPECT_EQ(tracker.allocate_save_identity(), 16777218);
    fs::create_directories("corvalen/99999999999999");
    EXPECT_EQ(tracker.allocate_save_identity(), std::numeric_limits<std::int32_t>::max());
}

TEST_F(SaveIdentityTest, TheCurrentDirectoryIsListedButNotCreated) {
    SaveTracker here;
    fs::create_directories("4");
    EXPECT_EQ(here.allocate_save_identity(), 5);
}

TEST(IdentityOfEntryTest, NamesReadLikeAtoi) {
    EXPECT_EQ(identity_of_entry("12", false), 12);
    EXPECT_EQ(identity_of_entry("12a", false), 0);
    EXPECT_EQ(identity_of_entry("", false), 0);
    EXPECT_EQ(identity_of_entry("12a", true), 12);
    EXPECT_EQ(identity_of_entry("3.backup2", true), 3);
}

TEST(SaveTrackerTest, FirstAutosaveIsDueAnIntervalAfterConstruction) {
    SaveTracker tracker("corvalen", 777, 1000);
    EXPECT_EQ(tracker.folder, "corvalen");
    EXPECT_EQ(tracker.last_game_timer, 777u);
    EXPECT_EQ(tracker.next_save_time, 1012);
    EXPECT_EQ(tracker.save_identity, 0);
    EXPECT_FALSE(tracker.started);
}

}  // namespace
}  // namespace corvalen
