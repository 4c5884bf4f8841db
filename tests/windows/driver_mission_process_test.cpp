// The real DLL in the stand-in host process under Wine: the player at the
// wheel of a bus starts the driver mission with B, drives to the next stop,
// waits while two people board, drives on, is paid their fares, and gets out,
// which ends the mission.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/csv.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

class DriverMissionProcessTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DriverMissionProcessTest, AShortMissionPaysThePlayerTheFares) {
    std::string exe = std::string("hostsim/hostsim_") + GetParam() + ".exe";
    std::string folder = fresh_folder(std::string("driver-mission-") + GetParam());
    std::string record = (fs::path(folder) / "timeline.txt").string();
    HostRun run = run_host(exe,
                           {"--plugin", build_path("corvalen.dll"), "--scene",
                            "short-driver-mission", "--frames", "1010", "--record", record},
                           folder);
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_EQ(run.number("frame_ticks"), 1010);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
    EXPECT_EQ(run.number("host_errors"), 0) << run.output;
    EXPECT_EQ(run.number("cash"), 5006) << "two fares of $3";
    // The mission's route blip and group went with it; nobody is held.
    EXPECT_EQ(run.number("blips"), 0);
    EXPECT_EQ(run.number("groups"), 0);
    EXPECT_EQ(run.number("people_held"), 0);
    EXPECT_EQ(run.number("vehicles_released"), 0) << "the bus stays the player's";

    std::vector<std::string> lines = read_lines(record);
    EXPECT_TRUE(has_line_containing(lines, "text \"Driver Mission\""));
    EXPECT_TRUE(has_line_containing(lines, "text \"Proceed to next stop. 110m\""));
    EXPECT_TRUE(has_line_containing(lines, "text \"Wait...\""));
    EXPECT_TRUE(has_line_containing(lines, "told to board vehicle"));
    EXPECT_TRUE(has_line_containing(lines, "cash 5000.00 -> 5006.00 (+6)"));
    EXPECT_TRUE(has_line_containing(lines, "says THANKS"));
    EXPECT_TRUE(has_line_containing(lines, "text \"passengers: 2\""));
    EXPECT_TRUE(has_line_containing(lines, "text \"revenue: $6\""));
    EXPECT_TRUE(has_line_containing(lines, "out of service"));
}

INSTANTIATE_TEST_SUITE_P(Builds, DriverMissionProcessTest, ::testing::Values("1070", "1080"));

}  // namespace
}  // namespace corvalen::test
