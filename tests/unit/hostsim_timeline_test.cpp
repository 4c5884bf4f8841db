// The check that compares a long scenario's timeline with its reviewed file:
// the reviewed runs are only as good as its eye for differences.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "hostsim/timeline.h"
#include "working_folder.h"

namespace hostsim {
namespace {

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(ExpectedFileTest, DifferencesMissingAndExtraLinesAreReportedByLine) {
    corvalen::test::WorkingFolder working;
    const std::vector<std::string> lines = {"frame 1: a", "frame 2: b", "frame 3: c"};
    std::string path = (working.path() / "sub" / "run.txt").string();
    ExpectedFileCheck missing = check_expected_file(lines, path);
    EXPECT_FALSE(missing.matches);
    EXPECT_TRUE(contains(missing.report, "HOSTSIM_UPDATE_EXPECTED=1")) << missing.report;

    setenv("HOSTSIM_UPDATE_EXPECTED", "1", 1);
    EXPECT_TRUE(check_expected_file(lines, path).matches) << "written";
    unsetenv("HOSTSIM_UPDATE_EXPECTED");
    EXPECT_TRUE(check_expected_file(lines, path).matches);

    std::ofstream(path) << "frame 1: a\r\nframe 2: B\nframe 3: c\nframe 4: d\n";
    ExpectedFileCheck longer = check_expected_file(lines, path);
    EXPECT_FALSE(longer.matches);
    EXPECT_TRUE(contains(longer.report, "2 differing line(s)")) << longer.report;
    EXPECT_TRUE(contains(longer.report, "line 2:\n  expected: frame 2: B\n  actual:   frame 2: b"));
    EXPECT_TRUE(contains(longer.report, "line 4:\n  expected: frame 4: d\n  actual:   <end of"));
    EXPECT_FALSE(contains(longer.report, "line 1:")) << "CR LF read as LF";
    EXPECT_FALSE(check_expected_file({"frame 1: a"}, path).matches) << "a shorter timeline";
}

}  // namespace
}  // namespace hostsim
