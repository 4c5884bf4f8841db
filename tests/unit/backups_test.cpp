// Backup rotation on real folders.

#include "core/backups.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::write_file;

class BackupsTest : public ::testing::Test {
  protected:
    test::WorkingFolder folder;
};

TEST_F(BackupsTest, OlderCopiesMoveOnBeforeTheSaveFolderIsCopied) {
    write_file("corvalen/5/houses.dat", "now");
    write_file("corvalen/5/sub/cars.csv", "cars now");
    write_file("corvalen/5.backup1/houses.dat", "before");
    write_file("corvalen/5.backup1/only_in_backup1", "kept");

    rotate_backups("corvalen/5", 2);

    EXPECT_EQ(read_file("corvalen/5.backup2/houses.dat"), "before");
    EXPECT_EQ(read_file("corvalen/5.backup1/houses.dat"), "now");
    EXPECT_EQ(read_file("corvalen/5.backup1/sub/cars.csv"), "cars now");
    // Overwriting copies leave files the source does not have.
    EXPECT_EQ(read_file("corvalen/5.backup1/only_in_backup1"), "kept");
    EXPECT_FALSE(fs::exists("corvalen/5.backup3"));
}

// Sources that do not exist are skipped; none kept copies nothing.
TEST_F(BackupsTest, MissingSourcesAreSkipped) {
    write_file("corvalen/5/houses.dat", "now");
    rotate_backups("corvalen/5", -2);
    EXPECT_FALSE(fs::exists("corvalen/5.backup1"));
    rotate_backups("corvalen/5", 3);
    EXPECT_EQ(read_file("corvalen/5.backup1/houses.dat"), "now");
    EXPECT_FALSE(fs::exists("corvalen/5.backup2"));
}

// A rotation cut short between its two renames left backup 2 beside its
// place: it is put back, and moves on like any other.
TEST_F(BackupsTest, ABackupLeftBesideItsPlaceMovesOn) {
    write_file("corvalen/5/houses.dat", "now");
    write_file("corvalen/5.backup2.old/houses.dat", "older");
    EXPECT_TRUE(rotate_backups("corvalen/5", 3));
    EXPECT_EQ(read_file("corvalen/5.backup3/houses.dat"), "older");
    EXPECT_FALSE(fs::exists("corvalen/5.backup2.old"));
}

// A plain file where backup 2 belongs is not the mod's to replace: backup 1,
// which would have moved there, is not overwritten either.
TEST_F(BackupsTest, ACopyThatCannotBeMadeEndsTheRotationThere) {
    write_file("corvalen/5/houses.dat", "now");
    write_file("corvalen/5.backup1/houses.dat", "before");
    write_file("corvalen/5.backup2", "in the way");

    EXPECT_FALSE(rotate_backups("corvalen/5", 2));

    EXPECT_EQ(read_file("corvalen/5.backup2"), "in the way");
    EXPECT_EQ(read_file("corvalen/5.backup1/houses.dat"), "before");
}

}  // namespace
}  // namespace corvalen
