// The real DLL in the stand-in host process under Wine: the player's car,
// low on fuel, is filled up at a gas station and the player pays by the
// litre.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/csv.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

class FillingStationProcessTest : public ::testing::TestWithParam<const char*> {};

TEST_P(FillingStationProcessTest, TheCarIsFilledUpAndThePlayerPays) {
    std::string exe = std::string("hostsim/hostsim_") + GetParam() + ".exe";
    std::string folder = fresh_folder(std::string("filling-station-") + GetParam());
    std::string record = (fs::path(folder) / "timeline.txt").string();
    HostRun run = run_host(exe,
                           {"--plugin", build_path("corvalen.dll"), "--scene", "filling-station",
                            "--frames", "760", "--record", record},
                           folder);
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_EQ(run.number("frame_ticks"), 760);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
    EXPECT_EQ(run.number("host_errors"), 0) << run.output;
    EXPECT_EQ(run.number("blips"), 1) << "the gas station's";

    std::vector<std::string> lines = read_lines(record);
    EXPECT_TRUE(has_line_containing(lines, "text \"fuel 4.80 L\""));
    EXPECT_TRUE(has_line_containing(lines, "text \"Fill up Gas\""));
    EXPECT_TRUE(has_line_containing(lines, "text \"fuel 60.00 L\""));

    // Paid once, by the litre: about 55 L at 2.39.
    long paid = 5000 - run.number("cash");
    EXPECT_GE(paid, 128);
    EXPECT_LE(paid, 135);
    std::string price = std::to_string(paid);
    EXPECT_TRUE(has_line_containing(
        lines, "cash 5000.00 -> " + std::to_string(5000 - paid) + ".00 (-" + price + ")"));
    EXPECT_TRUE(has_line_containing(lines, "text \"Fuel cost $" + price + "\""));
}

INSTANTIATE_TEST_SUITE_P(Builds, FillingStationProcessTest, ::testing::Values("1070", "1080"));

}  // namespace
}  // namespace corvalen::test
