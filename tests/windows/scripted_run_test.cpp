// The real DLL in the stand-in host process under Wine, driven by scenario
// scripts (tests/windows/scripts), which carry the expectations of each step:
// here every one of them must hold, the game must have seen no mistake and
// the hooks no disturbance, and the readable timeline must tell the player
// what happened.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/csv.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

struct ScriptedRun {
    HostRun run;
    std::vector<std::string> timeline;
};

// The release DLL's runs get folders of their own, since CTest may run them
// beside the built DLL's.
ScriptedRun play(const std::string& build, const std::string& script, bool release = false) {
    std::string folder = fresh_folder(script + "-" + build + (release ? "-release" : ""));
    std::string plugin = release ? packaged_dll() : build_path("corvalen.dll");
    std::string out = (fs::path(folder) / "out").string();
    ScriptedRun played;
    played.run = run_host("hostsim/hostsim_" + build + ".exe",
                          {"--plugin", plugin, "--script",
                           source_path("tests/windows/scripts/" + script + ".txt"), "--out", out},
                          folder);
    played.timeline = read_lines(fs::path(out) / "timeline.txt");
    return played;
}

void expect_sound(const HostRun& run) {
    EXPECT_EQ(run.exit_code, 0u) << "a failed expectation or no plug-in:\n" << run.output;
    EXPECT_EQ(run.number("frame_ticks"), run.number("frames"));
    EXPECT_FALSE(run.flag("corrupted")) << run.output;
    EXPECT_EQ(run.number("host_errors"), 0) << run.output;
}

void expect_short_day(const ScriptedRun& day) {
    expect_sound(day.run);
    // The gas station's blip, the office's and the bought house's; the agent
    // took his leave and the mission left no group behind.
    EXPECT_EQ(day.run.number("blips"), 3);
    EXPECT_EQ(day.run.number("characters"), 0);
    EXPECT_EQ(day.run.number("groups"), 0);
    for (const char* told : {
             "menu \"Corvalen mod\": [Real State Department], Public Parking, Auto Service, Bus "
             "Service, Boat Service, Ship Service",
             "bus fare  -$3",
             "fares from passengers  +$6",
             "fuel  -$132",
             "house bought  -$35000",
             "wrote corvalen/1/player_houses_db.dat: 1 house owned: 280,44,6",
             "game loaded",
             "player put at Harbour Road (280,44)",
         }) {
        EXPECT_TRUE(has_line_containing(day.timeline, told)) << told;
    }
}

TEST(ScriptedRunTest, AShortDayAlongHarbourRoad) {
    expect_short_day(play("1070", "short_day"));
}

// The release DLL is built with other options (size-optimised, stripped, an
// escaped exception aborting without a message): it must play the same day.
TEST(ScriptedRunTest, TheReleaseDllPlaysTheSameShortDay) {
    if (package_may_be_missing())
        GTEST_SKIP() << "no package unpacked; make package and tests/package/check_package.sh";
    expect_short_day(play("1070", "short_day", true));
}

class OvernightTest : public ::testing::TestWithParam<const char*> {};

TEST_P(OvernightTest, ACarParkedOvernightIsThereAfterALoadAndCostsTheOvernightTicket) {
    ScriptedRun night = play(GetParam(), "overnight");
    expect_sound(night.run);
    EXPECT_EQ(night.run.number("blips"), 0);
    EXPECT_TRUE(has_line_containing(night.timeline, "a Coupe appears at Harbour Road (-60,35)"));
    EXPECT_TRUE(has_line_containing(night.timeline, "parking ticket (Overnight)  -$10"));
}

INSTANTIATE_TEST_SUITE_P(Builds, OvernightTest, ::testing::Values("1070", "1080"));

}  // namespace
}  // namespace corvalen::test
