// Allocating a save identity from the data folder's entries.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <optional>
#include <sstream>

#include "core/save_tracker.h"
#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;

// One above the largest number that a folder of any name, or a file named
// by digits only, stands for; none when nothing is free above it.
TEST(SaveIdentityTest, OneAboveTheLargestNumberInTheDataFolder) {
    struct Case {
        const char* folders;
        const char* files;
        std::optional<std::int32_t> identity;
    };
    const Case cases[] = {
        {"", "", 1},
        {"1 2 2.backup1", "", 3},
        {"2 backups -8", "17.csv corvalen.conf", 3},
        {"", "40", 41},
        {"16777216 16777217", "", 16777218},  // exact where a float maximum is not
        {"2147483646", "", std::numeric_limits<std::int32_t>::max()},
        {"2147483647", "", std::nullopt},
        {"99999999999", "", std::nullopt},
        {"2147483648.backup1", "", std::nullopt},
        {"", "99999999999", std::nullopt},
    };
    test::WorkingFolder folder;
    SaveTracker tracker{"corvalen", 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folders) + " / " + c.files);
        fs::remove_all("corvalen");
        std::istringstream folders(c.folders);
        for (std::string name; folders >> name;)
            fs::create_directories("corvalen/" + name);
        std::istringstream files(c.files);
        for (std::string name; files >> name;)
            test::write_file("corvalen/" + name, "");
        EXPECT_EQ(tracker.allocate_save_identity(), c.identity);
        EXPECT_TRUE(fs::is_directory("corvalen"));
    }

    SaveTracker here;  // the current directory is listed, not created
    fs::create_directories("4");
    EXPECT_EQ(here.allocate_save_identity(), 5);
}

}  // namespace
}  // namespace corvalen
