// The transit services with the real plug-in in the stand-in's world: the
// driver-mission scene, from the start at a stop through boarding and fares to
// getting out, compared with its reviewed journal. It ends with nothing held
// beyond the live fleet and no host errors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/scenes.h"
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

TEST_F(TransitScenario, TheDriverMissionSceneMatchesTheReviewedRun) {
    std::vector<hostsim::SceneStep> steps = *hostsim::scene_steps("driver-mission");
    game = std::make_unique<hostsim::Host>(hostsim::boot_options(hostsim::Build::v1070));
    for (hostsim::SceneStep& step : steps) {
        if (step.frame == 0)
            step.act(*game);
    }
    ASSERT_TRUE(game->load_plugin(CORVALEN_PLUGIN_PATH)) << game->load_error();
    std::vector<std::string> panel;
    for (std::uint32_t next = 1; next <= 1970; ++next) {
        for (hostsim::SceneStep& step : steps) {
            if (step.frame == next)
                step.act(*game);
        }
        std::vector<std::string> texts = texts_of(frame());
        if (texts.size() >= 3 && texts[texts.size() - 3] == "Driver Mission")
            panel.assign(texts.end() - 2, texts.end());
    }
    EXPECT_EQ(panel, (std::vector<std::string>{"passengers: 3", "revenue: $9"}));
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
