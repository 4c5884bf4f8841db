// Passengers, the driver mission and the editor with the real plug-in: a
// service bus exchanging people at a stop, the player riding along and
// stopping the bus, the driver-mission scene, and a network made with the
// editor's keys. Every scenario ends with nothing held that should have been
// let go and no host errors.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "hostsim/scenes.h"
#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

using host::ScanCode;

constexpr std::uint32_t kFirstSpawnDelay = 20000;

class PassengerScenario : public PluginScenario {
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
    void run(int frames) {
        for (int i = 0; i < frames; ++i)
            frame();
    }
    hostsim::DrawRecord run_until(const std::function<bool()>& done, int most) {
        hostsim::DrawRecord last;
        for (int i = 0; i < most && !done(); ++i)
            last = frame();
        EXPECT_TRUE(done()) << "not within " << most << " frames";
        return last;
    }
    int said(const std::string& line) {
        return static_cast<int>(
            std::count_if(world().speeches().begin(), world().speeches().end(),
                          [&](const hostsim::Speech& s) { return s.line == line; }));
    }
    const hostsim::Vehicle* fleet_bus() {
        for (const auto& [handle, car] : world().vehicles()) {
            if (!car.from_world_start && car.model == 0xD577C962)
                return &car;
        }
        return nullptr;
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

// A way point on Harbour Road west of the player leads to the stop S, where
// people wait.
class StopScenario : public PassengerScenario {
  protected:
    void SetUp() override {
        PassengerScenario::SetUp();
        if (IsSkipped())
            return;
        write_file("corvalen/corvalen.conf", "max_busses=1\n");
        write_file("corvalen/bus_stops.csv",
                   "-200.00,35.00,5.00,270.00,2,0,-60,35,\n"
                   "-60.00,35.00,5.00,270.00,0,0,0,0,\n");
        boot_at({-110.0f, 30.0f, 6.0f});
    }
};

TEST_F(StopScenario, TheBusTakesOnPeoplePaysItsDriverAndSendsALatecomerAway) {
    std::int32_t first = world().add_pedestrian({-55.0f, 42.0f, 6.0f}, 0.0f).handle;
    std::int32_t second = world().add_pedestrian({-66.0f, 28.0f, 6.0f}, 0.0f).handle;
    std::int32_t sitting = world().add_pedestrian({-58.0f, 50.0f, 6.0f}, 0.0f, 0.0f).handle;
    game->pass_game_time(kFirstSpawnDelay);
    run_until([&] { return said("GENERIC_FUCK_OFF") > 0; }, 3000);

    const hostsim::Vehicle* bus = fleet_bus();
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(world().character(first)->vehicle, bus->handle);
    EXPECT_EQ(world().character(second)->vehicle, bus->handle);
    EXPECT_EQ(said("THANKS"), 1);
    EXPECT_GE(world().character(bus->driver)->money, 6) << "two fares, with what he had";
    EXPECT_TRUE(world().character(sitting)->walking_off);
    EXPECT_EQ(world().cash(), 5000.0f);
    run(600);
    EXPECT_EQ(said("GENERIC_FUCK_OFF"), 1);
}

TEST_F(StopScenario, ThePlayerRidesPaysThreeDollarsAndStopsTheBusWithB) {
    game->pass_game_time(kFirstSpawnDelay);
    run_until(
        [&] {
            return fleet_bus() != nullptr && fleet_bus()->parts.speed == 0.0f &&
                   fleet_bus()->object.position().x > -90.0f;
        },
        2000);
    std::int32_t bus = fleet_bus()->handle;
    game->teleport_player({-80.0f, 30.0f, 6.0f});
    frame_pressing(ScanCode::B);
    run_until([&] { return world().player().vehicle == bus; }, 300);

    hostsim::DrawRecord shown = run_until([&] { return world().cash() < 5000.0f; }, 12000 / 33);
    shown = frame();
    EXPECT_EQ(world().cash(), 4997.0f);
    EXPECT_EQ(texts_of(shown), std::vector<std::string>{"$3 fare"});

    run(30);
    ASSERT_GT(world().vehicle(bus)->parts.speed, 0.0f) << "under way, wandering on";
    frame_pressing(ScanCode::B);
    run(40);
    EXPECT_EQ(world().vehicle(bus)->parts.speed, 0.0f) << "the bus stops";
    EXPECT_EQ(world().player().vehicle, 0) << "and the player gets off";
    EXPECT_EQ(world().cash(), 4997.0f) << "one fare";
}

TEST_F(PassengerScenario, TheDriverMissionSceneMatchesTheReviewedRun) {
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

TEST_F(PassengerScenario, ANetworkMadeWithTheEditorsKeys) {
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
