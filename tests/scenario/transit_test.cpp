// The transit services with the real plug-in in the stand-in's world: the
// driver-mission script, from the start at a stop through boarding and fares to
// getting out, compared with its reviewed journal. It ends with nothing held
// beyond the live fleet and no host errors.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "hostsim/script_runner.h"
#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

class TransitScenario : public PluginScenario {
  protected:
    void TearDown() override {
        if (!game)
            return;
        // A live fleet vehicle keeps its driver and group; nobody else is held.
        std::size_t fleet = 0;
        for (const auto& [handle, car] : world().vehicles()) {
            const hostsim::Character* driver = world().character(car.driver);
            if (!car.from_world_start && driver != nullptr && driver->claimed)
                ++fleet;
        }
        EXPECT_EQ(world().groups().size(), fleet);
        for (const auto& [handle, person] : world().characters()) {
            EXPECT_FALSE(person.pedestrian && person.claimed) << hostsim::hex(handle) << " held";
        }
        EXPECT_EQ(world().blip_count(), 0u);
        for (const hostsim::JournalEntry& error : world().errors())
            ADD_FAILURE() << "frame " << error.frame << ": " << error.text;
    }
};

TEST_F(TransitScenario, TheDriverMissionScriptMatchesTheReviewedRun) {
    std::string timeline = play("driver_mission.txt");
    // The readable timeline tells the fares by the panel they come with.
    for (const char* told : {"player presses B", "shows \"Driver Mission\", \"passengers: 0\"",
                             "someone gets on", "the player says \"THANKS\"",
                             "fares from passengers  +$6", "fares from passengers  +$3"}) {
        EXPECT_NE(timeline.find(told), std::string::npos) << told << "\n" << timeline;
    }
    // The distance in the prompt changes every frame; the prompt is told
    // when it comes, once on the way to B and once on the way to C.
    std::istringstream told(timeline);
    int prompts = 0;
    for (std::string line; std::getline(told, line);)
        prompts += line.find("Proceed to next stop.") != std::string::npos ? 1 : 0;
    EXPECT_EQ(prompts, 2) << timeline;
    std::vector<std::string> lines;
    for (const hostsim::JournalEntry& entry : world().journal())
        lines.push_back("frame " + std::to_string(entry.frame) + ": " + entry.text);
    hostsim::ExpectedFileCheck check = hostsim::check_expected_file(
        lines,
        std::string(CORVALEN_SOURCE_DIR) + "/tests/scenario/expected/driver_mission_journal.txt");
    EXPECT_TRUE(check.matches) << check.report;
}

}  // namespace
}  // namespace corvalen::test
