// The real DLL in the stand-in host process under Wine, in a time zone away
// from UTC: a car left in a pay car park at 22:30 is written to the save's
// car file by the autosave, re-created where it stood after the save is
// loaded, and collected at 08:00 for the overnight ticket.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/csv.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

class CarParkProcessTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CarParkProcessTest, ACarParkedOvernightIsThereAfterALoadAndCostsTheOvernightTicket) {
    std::string exe = std::string("hostsim/hostsim_") + GetParam() + ".exe";
    std::string folder = fresh_folder(std::string("car-park-") + GetParam());
    std::string record = (fs::path(folder) / "timeline.txt").string();
    HostRun run = run_host(exe,
                           {"--plugin", build_path("corvalen.dll"), "--scene", "car-park",
                            "--frames", "240", "--record", record},
                           folder);
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_EQ(run.number("frame_ticks"), 240);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
    EXPECT_EQ(run.number("host_errors"), 0) << run.output;
    EXPECT_EQ(run.number("blips"), 0);
    EXPECT_EQ(run.number("cash"), 4990);

    std::vector<std::string> lines = read_lines(record);
    EXPECT_TRUE(has_line_containing(lines, "frame 141:   text \"Vehicle Parked\""));
    EXPECT_TRUE(
        has_line_containing(lines,
                            "frame 200: vehicle 0x00002004 created, model 0x94F0B2D1, kind 4, at "
                            "(-60.00,35.00,6.00)"));
    EXPECT_TRUE(has_line_containing(lines, "frame 235: cash 5000.00 -> 4990.00 (-10)"));
    EXPECT_TRUE(has_line_containing(lines, "frame 235:   text \"Ticket $9.69 - Overnight\""));

    // Parked at 22:30 local time, written as the game-time stamp of that
    // moment in the time zone IST-5:30: 2008-01-01 17:00 UTC and some seconds.
    std::vector<std::string> cars =
        read_lines(fs::path(folder) / "corvalen/1/pub_parking_cars.csv");
    ASSERT_EQ(cars.size(), 1u);
    EXPECT_EQ(cars[0].rfind("2498802385,-60,35,6,", 0), 0u) << cars[0];
    std::vector<std::string_view> fields = split_fields(cars[0]);
    ASSERT_EQ(fields.size(), 29u);
    long parked_at = std::stol(std::string(fields[27]));
    EXPECT_GE(parked_at, 1199206800);
    EXPECT_LT(parked_at, 1199206800 + 120);
}

INSTANTIATE_TEST_SUITE_P(Builds, CarParkProcessTest, ::testing::Values("1070", "1080"));

}  // namespace
}  // namespace corvalen::test
