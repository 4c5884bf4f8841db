// The driver mission and the editor with the real plug-in: the
// driver-mission scene, and a network made with the editor's keys through
// the main menu. Every scenario ends with nothing held that should have been
// let go and no host errors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/scenes.h"
#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

using host::ScanCode;

class MissionScenario : public PluginScenario {
  protected:
    void TearDown() override {
        if (game)
            expect_nothing_left_over();
    }
    void boot_at(hostsim::Vec3 player) {
        hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
        options.world.player_start = player;
        boot(options);
        frame();  // the first tick reloads
    }
    std::vector<std::string> journal_lines() {
        std::vector<std::string> lines;
        for (const hostsim::JournalEntry& entry : world().journal())
            lines.push_back("frame " + std::to_string(entry.frame) + ": " + entry.text);
        return lines;
    }
    // The fleet's vehicles keep their drivers and groups; nobody else is held
    // by the plug-in, no mission blip or group is left, and the game saw no
    // mistake.
    void expect_nothing_left_over() {
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

TEST_F(MissionScenario, TheDriverMissionSceneMatchesTheReviewedRun) {
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
    EXPECT_EQ(world().cash(), 5009.0f);
    hostsim::ExpectedFileCheck check = hostsim::check_expected_file(
        journal_lines(),
        std::string(CORVALEN_SOURCE_DIR) + "/tests/scenario/expected/driver_mission_journal.txt");
    EXPECT_TRUE(check.matches) << check.report;
}

TEST_F(MissionScenario, ANetworkMadeWithTheEditorsKeys) {
    write_file("corvalen/corvalen.conf", "max_busses=0\n");
    boot_at({-120.0f, 35.0f, 6.0f});
    auto choose_in_bus_menu = [&](int item) {
        frame_pressing(ScanCode::F12);
        frame();
        for (int i = 0; i < 3; ++i)
            frame_pressing(ScanCode::Numpad2);  // "Bus Service"
        frame_pressing(ScanCode::Numpad5);
        frame();
        for (int i = 0; i < item; ++i)
            frame_pressing(ScanCode::Numpad2);
        frame_pressing(ScanCode::Numpad5);
        frame();
        // The main menu keeps its highlight; back to the top for next time.
        frame_pressing(ScanCode::F12);
        for (int i = 0; i < 3; ++i)
            frame_pressing(ScanCode::Numpad8);
        frame_pressing(ScanCode::F12);
    };
    choose_in_bus_menu(0);  // Add Bus Stop
    game->walk_player_to({-60.0f, 35.0f, 6.0f});
    choose_in_bus_menu(3);  // Add capture point, connecting from it
    game->walk_player_to({-120.0f, 35.0f, 6.0f});
    EXPECT_EQ(texts_of(frame()),
              std::vector<std::string>{"Adding. Go and press Y to save, or N to cancel."});
    frame_pressing(ScanCode::Y);
    EXPECT_TRUE(texts_of(frame()).empty());
    EXPECT_EQ(read_file("corvalen/bus_stops.csv"),
              "-120.00,35.00,6.00,0.00,0,0,0,0,\n"
              "-60.00,35.00,6.00,270.00,3,0,-120,35,\n");
}

}  // namespace
}  // namespace corvalen::test
