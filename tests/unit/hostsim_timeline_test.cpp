// The timeline a long scenario is compared by, and its expected-file check.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "hostsim/timeline.h"
#include "hostsim/world.h"
#include "working_folder.h"

namespace hostsim {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> read_file(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(TimelineTest, WritesJournalThenScreenChangesOnlyWhenTheyChange) {
    World world;
    Timeline timeline;
    auto frame = [&](bool draw) {
        world.begin_frame();
        if (draw) {
            world.set_text_scale(0.5f, 0.5f);
            world.draw_text(0.1f, 0.1f, "Vehicle Parked");
        }
        world.end_frame();
        timeline.end_frame(world);
    };
    frame(false);
    world.add_cash(-10);
    frame(true);
    frame(true);
    frame(false);

    std::vector<std::string> expected = {
        "frame 1: cash 5000.00 -> 4990.00 (-10)",
        "frame 2: screen: 1 item",
        "frame 2:   text \"Vehicle Parked\" at (0.100,0.100) scale (0.500,0.500) colour "
        "(255,255,255,255)",
        "frame 4: screen: nothing drawn",
    };
    EXPECT_EQ(timeline.lines(), expected);
}

class ExpectedFileTest : public ::testing::Test {
  protected:
    void TearDown() override { unsetenv("HOSTSIM_UPDATE_EXPECTED"); }
    corvalen::test::WorkingFolder working;
    fs::path folder = working.path();
    std::vector<std::string> lines = {"frame 1: a", "frame 2: b", "frame 3: c"};
};

TEST_F(ExpectedFileTest, MissingFileFailsUntilAnUpdateWritesIt) {
    std::string path = (folder / "sub" / "run.txt").string();
    ExpectedFileCheck missing = check_expected_file(lines, path);
    EXPECT_FALSE(missing.matches);
    EXPECT_NE(missing.report.find("HOSTSIM_UPDATE_EXPECTED=1"), std::string::npos);
    setenv("HOSTSIM_UPDATE_EXPECTED", "1", 1);
    EXPECT_TRUE(check_expected_file(lines, path).matches);
    unsetenv("HOSTSIM_UPDATE_EXPECTED");
    EXPECT_EQ(read_file(path), lines);
    EXPECT_TRUE(check_expected_file(lines, path).matches);
}

TEST_F(ExpectedFileTest, DifferencesAreReportedByLineIncludingMissingAndExtraLines) {
    std::string path = (folder / "run.txt").string();
    std::ofstream(path) << "frame 1: a\r\nframe 2: B\nframe 3: c\nframe 4: d\n";

    ExpectedFileCheck longer = check_expected_file(lines, path);
    EXPECT_FALSE(longer.matches);
    EXPECT_NE(longer.report.find("2 differing line(s)"), std::string::npos) << longer.report;
    EXPECT_NE(longer.report.find("line 2:\n  expected: frame 2: B\n  actual:   frame 2: b"),
              std::string::npos)
        << longer.report;
    EXPECT_NE(longer.report.find("line 4:\n  expected: frame 4: d\n  actual:   <end of timeline>"),
              std::string::npos)
        << longer.report;
    EXPECT_EQ(longer.report.find("line 1:"), std::string::npos) << "CR LF read as LF";
}

}  // namespace
}  // namespace hostsim
