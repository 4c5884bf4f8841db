// The real DLL's bus service in the stand-in host process under Wine: with a
// small network in the game's data folder, buses appear around the player
// and drive to their stops, where they come to rest.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

bool has_line(const fs::path& timeline, const std::string& ending) {
    std::ifstream in(timeline);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= ending.size() &&
            line.compare(line.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}

TEST(TransitProcessTest, BusesSpawnAroundThePlayerAndReachTheirStops) {
    std::string folder = fresh_folder("transit");
    fs::create_directories(fs::path(folder) / "corvalen");
    // Two stops on Harbour Road, 65 m either side of the player's start,
    // each linked to the other.
    std::ofstream(fs::path(folder) / "corvalen" / "bus_stops.csv", std::ios::binary)
        << "-185.00,35.00,5.00,90.00,0,0,-55,35,\n"
           "-55.00,35.00,5.00,270.00,0,0,-185,35,\n";
    std::string record = (fs::path(folder) / "timeline.txt").string();
    // The first spawn comes 20 s of game time after the start (33 ms a
    // frame), the second 6 s later; each drive takes some 16 s.
    HostRun run = run_host(
        "hostsim/hostsim_1070.exe",
        {"--plugin", build_path("corvalen.dll"), "--frames", "1400", "--record", record}, folder);
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_EQ(run.number("host_errors"), 0) << run.output;
    EXPECT_EQ(run.number("vehicles_created"), 2) << run.output;
    EXPECT_EQ(run.number("arrivals"), 2) << run.output;
    EXPECT_EQ(run.number("characters"), 2) << "a driver each";
    EXPECT_EQ(run.number("groups"), 2);
    // Each came to rest within the stop range (15 m) of the stop it drove to.
    EXPECT_TRUE(has_line(record, "at rest at (-70.00,35.00,6.00)"));
    EXPECT_TRUE(has_line(record, "at rest at (-170.00,35.00,6.00)"));
}

}  // namespace
}  // namespace corvalen::test
