// The real DLL in the stand-in host process under Wine: the player buys a
// house through the agent, rests there and saves, walks off and loads that
// save, and the game starts at the house's door.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/csv.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

// The index of the first line from `from` on that contains `text`; -1 when none.
long line_containing(const std::vector<std::string>& lines, const std::string& text,
                     long from = 0) {
    for (auto i = static_cast<std::size_t>(from); i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string::npos)
            return static_cast<long>(i);
    }
    return -1;
}

class HouseBuyingProcessTest : public ::testing::TestWithParam<const char*> {};

TEST_P(HouseBuyingProcessTest, TheLoadedSaveStartsAtTheBoughtHouse) {
    std::string exe = std::string("hostsim/hostsim_") + GetParam() + ".exe";
    std::string folder = fresh_folder(std::string("house-buying-") + GetParam());
    std::string record = (fs::path(folder) / "timeline.txt").string();
    HostRun run = run_host(exe,
                           {"--plugin", build_path("corvalen.dll"), "--scene", "house-buying",
                            "--frames", "420", "--record", record},
                           folder);
    ASSERT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_EQ(run.number("frame_ticks"), 420);
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
    EXPECT_EQ(run.number("host_errors"), 0) << run.output;
    EXPECT_EQ(run.value("cash"), "15000.00");
    EXPECT_EQ(run.number("blips"), 2) << "the office and the owned house";
    EXPECT_EQ(run.number("characters"), 0) << "the agent took his leave";
    EXPECT_EQ(run.number("groups"), 0);

    // In this order: the agent comes, the house is paid for, the agent says
    // thanks, the rest and the save, the load and the player at the door.
    std::vector<std::string> lines = read_lines(record);
    long agent = line_containing(lines, "pedestrian ");
    long paid = line_containing(lines, "cash 50000.00 -> 15000.00 (-35000)", agent);
    long thanks = line_containing(lines, " says THANKS", paid);
    long handed = line_containing(lines, "float stat 210 = -100.00", thanks);
    long saved = line_containing(lines, "game saved to slot 1", handed);
    long loaded = line_containing(lines, "game loaded from slot 1", saved);
    long moved = line_containing(lines, "player moved to (-100.00,35.00,6.00)", loaded);
    EXPECT_GE(agent, 0);
    EXPECT_GT(paid, agent);
    EXPECT_GT(thanks, paid);
    EXPECT_GT(handed, thanks);
    EXPECT_GT(saved, handed);
    EXPECT_GT(loaded, saved);
    EXPECT_GT(moved, loaded);
    EXPECT_EQ(read_lines(fs::path(folder) / "corvalen/1/player_houses_db.dat"),
              std::vector<std::string>{"-100,35,6"});
}

INSTANTIATE_TEST_SUITE_P(Builds, HouseBuyingProcessTest, ::testing::Values("1070", "1080"));

}  // namespace
}  // namespace corvalen::test
