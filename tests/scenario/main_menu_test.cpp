// The interactive frame with the real plug-in: F12 and the main menu, the
// feature menus it opens, and the developer hotkeys.

#include <gtest/gtest.h>

#include <algorithm>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

using host::ScanCode;

const std::vector<std::string> kMainMenu = {"Corvalen mod",          "Up/Down NUMPAD to navigate",
                                            "NUMPAD 5 to select",    "NUMPAD 0 to go back",
                                            "Real State Department", "Public Parking",
                                            "Auto Service",          "Bus Service",
                                            "Boat Service",          "Ship Service"};

std::vector<std::string> titled(const char* title) {
    return {title, "Up/Down NUMPAD to navigate", "NUMPAD 5 to select", "NUMPAD 0 to go back"};
}

class MainMenuTest : public PluginScenario {
  protected:
    void SetUp() override {
        PluginScenario::SetUp();
        if (IsSkipped())
            return;
        boot();
        game->run_frames(2);
    }
    // Opens the main menu and lets it arm.
    void open_main_menu() {
        EXPECT_TRUE(frame_pressing(ScanCode::F12).empty());
        ASSERT_EQ(texts_of(frame()), kMainMenu);
    }
};

// Not processed while the host is not playing: F12 then goes unseen.
TEST_F(MainMenuTest, TheMenuWaitsWhileTheHostIsNotPlaying) {
    open_main_menu();
    world().set_paused(true);
    EXPECT_TRUE(frame().empty());
    EXPECT_TRUE(frame_pressing(ScanCode::F12).empty());
    world().set_paused(false);
    EXPECT_EQ(texts_of(frame()), kMainMenu);
}

// The highlight stays where the last choice left it; F12 closes the feature
// menu and opens the main menu again.
TEST_F(MainMenuTest, EveryItemOpensItsOwnFeatureMenu) {
    const char* titles[] = {"RO Viri Variru Roza. settings",
                            "Public Parking",
                            "Auto Service",
                            "Bus Service",
                            "Bus Service",
                            "Bus Service"};
    for (const char* title : titles) {
        open_main_menu();
        if (title != titles[0])
            frame_pressing(ScanCode::Numpad2);
        frame_pressing(ScanCode::Numpad5);
        std::vector<std::string> shown = texts_of(frame());
        shown.resize(std::min<std::size_t>(shown.size(), 4));  // the features' items follow
        EXPECT_EQ(shown, titled(title));
        EXPECT_TRUE(frame_pressing(ScanCode::F12).empty());
        EXPECT_EQ(texts_of(frame()), kMainMenu) << title;
        frame_pressing(ScanCode::F12);
    }
}

// The layout: the title, help lines and items with the highlight's colour,
// before and after it wraps to the last item.
TEST_F(MainMenuTest, TheTimelineMatchesTheReviewedRun) {
    game->note("F12, up, F12");
    frame_pressing(ScanCode::F12);
    frame();
    frame_pressing(ScanCode::Numpad8);
    frame_pressing(ScanCode::F12);
    hostsim::ExpectedFileCheck check = hostsim::check_expected_file(
        game->timeline_lines(),
        std::string(CORVALEN_SOURCE_DIR) + "/tests/scenario/expected/main_menu_timeline.txt");
    EXPECT_TRUE(check.matches) << check.report;
}

// G seats the player in the first free seat of the nearest vehicle within
// 20 m, or takes him out; Left Alt with X toggles the developer effect.
TEST_F(MainMenuTest, DeveloperHotkeys) {
    const hostsim::Vehicle& car =
        world().add_vehicle(hostsim::vehicle_models().front().id, {300.0f, -200.0f, 5.0f}, 0.0f);
    game->teleport_player({305.0f, -200.0f, 5.0f});
    frame_pressing(ScanCode::G);
    EXPECT_EQ(world().player().vehicle, car.handle);
    EXPECT_EQ(world().player().seat, 0) << "the first free passenger seat";
    frame_pressing(ScanCode::G);
    EXPECT_EQ(world().player().vehicle, 0);
    game->teleport_player({300.0f, -230.0f, 5.0f});  // 30 m away
    frame_pressing(ScanCode::G);
    EXPECT_EQ(world().player().vehicle, 0);

    frame_pressing(ScanCode::X);  // alone: nothing
    game->hold_key(key(ScanCode::LeftAlt));
    frame_pressing(ScanCode::X);
    frame_pressing(ScanCode::X);
    std::string effects;
    for (const hostsim::JournalEntry& entry : world().journal()) {
        if (entry.text.starts_with("developer effect"))
            effects += entry.text + "; ";
    }
    std::string who = hostsim::hex(static_cast<std::uint32_t>(world().player_character()));
    EXPECT_EQ(effects, "developer effect on for " + who +
                           " (0, 0, 43200000); developer effect off for " + who + " (100); ");
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

}  // namespace
}  // namespace corvalen::test
