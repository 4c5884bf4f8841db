// The real estate with the real plug-in: buying a house through the agent,
// leaving a car in its garage, resting and saving there, and standing at its
// door with the car in the garage after that save is loaded, whichever way
// the game's save screen and the autosave fall.

#include <gtest/gtest.h>

#include <algorithm>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

using host::ScanCode;

constexpr hostsim::Vec3 kOffice{-100.0f, 35.0f, 6.0f};
constexpr hostsim::Vec3 kHouse{-80.0f, 35.0f, 6.0f};

// When the game writes its save, and whether an autosave falls inside the
// save screen.
struct SaveTiming {
    bool written_at_open;
    bool autosave_inside;
};

class SafehouseScenario : public PluginScenario, public ::testing::WithParamInterface<SaveTiming> {
  protected:
    // Walks to a door and waits there until its prompt shows, then presses
    // Enter.
    void enter_at(hostsim::Vec3 door, const std::string& prompt) {
        ASSERT_GE(game->walk_player_to(door), 0);
        for (int i = 0; i < 200; ++i) {
            std::vector<std::string> texts = texts_of(frame());
            if (std::find(texts.begin(), texts.end(), prompt) != texts.end()) {
                frame_pressing(ScanCode::Enter);
                return;
            }
        }
        FAIL() << "no prompt \"" << prompt << "\" at the door";
    }
    std::string saved_position() {
        return hostsim::format_point(world().float_stat(210), world().float_stat(211),
                                     world().float_stat(212));
    }
};

TEST_P(SafehouseScenario, AfterASaveAtTheHouseTheLoadedGameStartsAtItsDoorWithItsCar) {
    write_file("corvalen/house_db.csv",
               "-100.00,35.00,6.00,f,3,0,0.00,0.00,0.00,0,\n"
               "-80.00,35.00,6.00,f,1,35000,-75.00,45.00,5.00,6,\n"
               "-120.00,60.00,6.00,f,2,80,0.00,0.00,0.00,0,\n");
    hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
    options.world.save_written_at_open = GetParam().written_at_open;
    options.world.clock_hour = 20;
    options.world.clock_minute = 15;
    options.world.cash = 50000.0f;
    options.world.save_identity = 1;
    boot(options);
    frame();  // the first tick loads the houses

    enter_at(kOffice, "Press [ENTER] to shop for properties");
    ASSERT_EQ(world().characters().size(), 2u) << "the agent";
    enter_at(kHouse, "Press [ENTER] to buy this property for $35000");
    ASSERT_EQ(world().cash(), 15000.0f);

    const std::uint32_t coupe = hostsim::vehicle_models()[1].id;
    auto car = std::find_if(world().vehicles().begin(), world().vehicles().end(),
                            [&](const auto& entry) { return entry.second.model == coupe; });
    ASSERT_TRUE(game->enter_vehicle(car->first));
    frame();
    ASSERT_GE(game->walk_player_to({-75.0f, 44.0f, 6.0f}, 8.0f), 0);
    game->leave_vehicle();
    frame();
    EXPECT_EQ(std::ranges::count(texts_of(frame()), "Vehicle Parked"), 1);

    if (GetParam().autosave_inside)
        game->pass_wall_time(13);
    enter_at(kHouse, "Press [ENTER] to save the game");
    while (world().save_screen_open() || world().non_playing())
        frame();
    frame();
    ASSERT_EQ(world().saves().count(1), 1u);
    const hostsim::SaveGame& save = world().saves().at(1);
    EXPECT_EQ(save.float_stats.at(210), kHouse.x);
    EXPECT_EQ(save.clock_ms / 3600000, 2u) << "rested past midnight";
    EXPECT_EQ(saved_position(), "(0.00,0.00,0.00)") << "no later save carries it";
    // Written with the save, autosave or not.
    EXPECT_EQ(read_file("corvalen/1/player_houses_db.dat"), "-80,35,6\n");
    std::string cars = read_file("corvalen/1/house_cars.csv");
    EXPECT_EQ(std::count(cars.begin(), cars.end(), '\n'), 1);
    EXPECT_EQ(cars.rfind(std::to_string(coupe) + ",-75,44,6,", 0), 0u) << cars;

    ASSERT_GE(game->walk_player_to({-120.0f, 35.0f, 6.0f}), 0);
    game->run_frames(5);
    ASSERT_TRUE(game->load_game(1));
    frame();
    EXPECT_EQ(world().player_position().x, kHouse.x);
    EXPECT_EQ(saved_position(), "(0.00,0.00,0.00)");
    EXPECT_EQ(texts_of(frame()).at(0), "Press [ENTER] to save the game");
    car =
        std::find_if(world().vehicles().begin(), world().vehicles().end(), [&](const auto& entry) {
            return entry.second.model == coupe && entry.second.object.position().x == -75.0f;
        });
    ASSERT_NE(car, world().vehicles().end()) << "the car is back in the garage";
    EXPECT_EQ(car->second.object.position().y, 44.0f);
    // Nothing left behind: only the player, no group of the plug-in's, the
    // office's and the house's blips, and nothing the game refused.
    EXPECT_EQ(std::to_string(world().characters().size()) + " " +
                  std::to_string(world().groups().size()) + " " +
                  std::to_string(world().player_group().members.size()) + " " +
                  std::to_string(world().blip_count()),
              "1 0 0 2");
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

INSTANTIATE_TEST_SUITE_P(Timings, SafehouseScenario,
                         ::testing::Values(SaveTiming{false, false}, SaveTiming{false, true},
                                           SaveTiming{true, false}, SaveTiming{true, true}));

}  // namespace
}  // namespace corvalen::test
