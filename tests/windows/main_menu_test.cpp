// The real DLL in the stand-in host process under Wine: the first frames
// allocate the save identity and its folder, and F12 opens the main menu,
// drawn with its exact texts, positions, scales and colours.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines_of(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class MainMenuProcessTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MainMenuProcessTest, F12DrawsTheMainMenuAndTheSaveGetsItsFolder) {
    std::string exe = std::string("hostsim/hostsim_") + GetParam() + ".exe";
    std::string folder = fresh_folder(std::string("main-menu-") + GetParam());
    std::string record = (fs::path(folder) / "timeline.txt").string();
    HostRun run = run_host(exe,
                           {"--plugin", build_path("corvalen.dll"), "--frames", "4", "--press",
                            "2:0x58", "--record", record},
                           folder);
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_EQ(run.number("frame_ticks"), 4);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
    EXPECT_EQ(run.number("host_errors"), 0) << run.output;
    EXPECT_TRUE(fs::is_directory(fs::path(folder) / "corvalen" / "1"));

    const std::vector<std::string> expected = {
        "frame 1: int stat 429 = 1",
        "frame 3: screen: 10 items",
        "frame 3:   text \"Corvalen mod\" at (0.100,0.100) scale (0.350,0.350) colour "
        "(255,255,255,255)",
        "frame 3:   text \"Up/Down NUMPAD to navigate\" at (0.700,0.130) scale (0.250,0.250) "
        "colour "
        "(255,255,255,255)",
        "frame 3:   text \"NUMPAD 5 to select\" at (0.700,0.160) scale (0.250,0.250) colour "
        "(255,255,255,255)",
        "frame 3:   text \"NUMPAD 0 to go back\" at (0.700,0.190) scale (0.250,0.250) colour "
        "(255,255,255,255)",
        "frame 3:   text \"Real State Department\" at (0.100,0.135) scale (0.300,0.300) colour "
        "(0,87,233,255)",
        "frame 3:   text \"Public Parking\" at (0.100,0.170) scale (0.300,0.300) colour "
        "(255,255,255,255)",
        "frame 3:   text \"Auto Service\" at (0.100,0.205) scale (0.300,0.300) colour "
        "(255,255,255,255)",
        "frame 3:   text \"Bus Service\" at (0.100,0.240) scale (0.300,0.300) colour "
        "(255,255,255,255)",
        "frame 3:   text \"Boat Service\" at (0.100,0.275) scale (0.300,0.300) colour "
        "(255,255,255,255)",
        "frame 3:   text \"Ship Service\" at (0.100,0.310) scale (0.300,0.300) colour "
        "(255,255,255,255)",
    };
    EXPECT_EQ(lines_of(record), expected);
}

INSTANTIATE_TEST_SUITE_P(Builds, MainMenuProcessTest, ::testing::Values("1070", "1080"));

}  // namespace
}  // namespace corvalen::test
