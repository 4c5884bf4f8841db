// The real estate with the real plug-in: buying, resting and saving at a
// house, and standing at its door after that save is loaded, whichever way the
// game's save screen and the autosave fall.

#include <gtest/gtest.h>

#include <algorithm>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

using host::ScanCode;

constexpr hostsim::Vec3 kOffice{-100.0f, 35.0f, 6.0f};
constexpr hostsim::Vec3 kHouse{-80.0f, 35.0f, 6.0f};
constexpr hostsim::Vec3 kStreet{-120.0f, 35.0f, 6.0f};
constexpr const char* kDatabase =
    "-100.00,35.00,6.00,f,3,0,0.00,0.00,0.00,0,\n"
    "-80.00,35.00,6.00,f,1,35000,-75.00,45.00,5.00,6,\n"
    "-120.00,60.00,6.00,f,2,80,0.00,0.00,0.00,0,\n";

bool shows(const hostsim::DrawRecord& draws, const std::string& text) {
    std::vector<std::string> texts = texts_of(draws);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class RealEstateScenario : public PluginScenario {
  protected:
    void boot_with_houses(
        hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070)) {
        write_file("corvalen/house_db.csv", kDatabase);
        options.world.cash = 50000.0f;
        options.world.save_identity = 1;
        boot(options);
        frame();  // the first tick loads the houses
    }
    // Walks to a door and waits there until its prompt shows.
    void walk_to_door(hostsim::Vec3 door, const std::string& prompt) {
        ASSERT_GE(game->walk_player_to(door), 0);
        for (int i = 0; i < 200; ++i) {
            if (shows(frame(), prompt))
                return;
        }
        FAIL() << "no prompt \"" << prompt << "\" at the door";
    }
    void buy_the_house() {
        walk_to_door(kOffice, "Press [ENTER] to shop for properties");
        frame_pressing(ScanCode::Enter);
        ASSERT_EQ(world().characters().size(), 2u) << "the agent";
        walk_to_door(kHouse, "Press [ENTER] to buy this property for $35000");
        frame_pressing(ScanCode::Enter);
        ASSERT_EQ(world().cash(), 15000.0f);
    }
    // Enter at the owned house: a rest, then the game's save screen, run until
    // it is over.
    void rest_and_save() {
        walk_to_door(kHouse, "Press [ENTER] to save the game");
        frame_pressing(ScanCode::Enter);
        ASSERT_TRUE(world().save_screen_open());
        while (world().save_screen_open() || world().non_playing())
            frame();
        frame();
    }
    float stat(std::int32_t number) { return world().float_stat(number); }
    void expect_saved_position_cleared() {
        EXPECT_EQ(stat(210), 0.0f);
        EXPECT_EQ(stat(211), 0.0f);
        EXPECT_EQ(stat(212), 0.0f);
    }
    void expect_at(hostsim::Vec3 where) {
        hostsim::Vec3 at = world().player_position();
        EXPECT_EQ(at.x, where.x);
        EXPECT_EQ(at.y, where.y);
    }
    // Nothing left behind: only the player, no group of the plug-in's, the
    // blips the properties should have, and nothing the game refused.
    void expect_clean_world(std::size_t property_blips) {
        EXPECT_EQ(world().characters().size(), 1u);
        EXPECT_TRUE(world().groups().empty());
        EXPECT_TRUE(world().player_group().members.empty());
        EXPECT_EQ(world().blip_count(), property_blips);
        EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
    }
};

// When the game writes its save, and whether an autosave falls inside the
// save screen.
struct SaveTiming {
    bool written_at_open;
    bool autosave_inside;
};

class SafehouseScenario : public RealEstateScenario,
                          public ::testing::WithParamInterface<SaveTiming> {};

TEST_P(SafehouseScenario, AfterASaveAtTheHouseTheLoadedGameStartsAtItsDoorWithItsCar) {
    const std::uint32_t coupe = hostsim::vehicle_models()[1].id;
    hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
    options.world.save_written_at_open = GetParam().written_at_open;
    options.world.clock_hour = 20;
    options.world.clock_minute = 15;
    boot_with_houses(options);
    buy_the_house();
    EXPECT_EQ(world().characters().size(), 1u) << "the agent took his leave";
    std::int32_t car = 0;
    for (const auto& [handle, vehicle] : world().vehicles())
        car = vehicle.model == coupe ? handle : car;
    ASSERT_TRUE(game->enter_vehicle(car));
    frame();
    ASSERT_GE(game->walk_player_to({-75.0f, 44.0f, 6.0f}, 8.0f), 0);
    game->leave_vehicle();
    frame();
    EXPECT_TRUE(shows(frame(), "Vehicle Parked"));

    if (GetParam().autosave_inside)
        game->pass_wall_time(13);
    int day_count = world().int_stat(hostsim::kDayCountStat);
    rest_and_save();
    ASSERT_EQ(world().saves().count(1), 1u);
    const hostsim::SaveGame& save = world().saves().at(1);
    EXPECT_EQ(save.float_stats.at(210), kHouse.x);
    EXPECT_EQ(save.float_stats.at(211), kHouse.y);
    EXPECT_EQ(save.int_stats.at(hostsim::kDayCountStat), day_count + 1) << "past midnight";
    EXPECT_EQ(save.clock_ms / 3600000, 2u);
    expect_saved_position_cleared();
    EXPECT_EQ(read_file("corvalen/1/player_houses_db.dat"), "-80,35,6\n")
        << "written with the save, autosave or not";
    std::string cars = read_file("corvalen/1/house_cars.csv");
    EXPECT_EQ(std::count(cars.begin(), cars.end(), '\n'), 1);
    EXPECT_EQ(cars.rfind(std::to_string(coupe) + ",-75,44,6,", 0), 0u) << cars;

    ASSERT_GE(game->walk_player_to(kStreet), 0);
    game->run_frames(5);
    ASSERT_TRUE(game->load_game(1));
    frame();
    expect_at(kHouse);
    expect_saved_position_cleared();
    EXPECT_TRUE(shows(frame(), "Press [ENTER] to save the game"));
    std::size_t in_garage = 0;
    for (const auto& [handle, vehicle] : world().vehicles()) {
        hostsim::Vec3 at = vehicle.object.position();
        in_garage += vehicle.model == coupe && at.x == -75.0f && at.y == 44.0f;
    }
    EXPECT_EQ(in_garage, 1u);
    expect_clean_world(2);  // the office and the owned house
}

INSTANTIATE_TEST_SUITE_P(Timings, SafehouseScenario,
                         ::testing::Values(SaveTiming{false, false}, SaveTiming{false, true},
                                           SaveTiming{true, false}, SaveTiming{true, true}));

TEST_F(RealEstateScenario, ABackedOutSaveScreenLeavesLaterSavesAlone) {
    write_file("corvalen/1/player_houses_db.dat", "-80,35,6\n");
    boot_with_houses();
    walk_to_door(kHouse, "Press [ENTER] to save the game");
    frame_pressing(ScanCode::Enter);
    game->run_frames(3);
    world().cancel_save_screen();
    game->run_frames(3);
    EXPECT_TRUE(world().saves().empty());
    expect_saved_position_cleared();

    ASSERT_GE(game->walk_player_to(kStreet), 0);
    ASSERT_GT(game->save_game(), 0);  // the game's own save, from its menu
    game->run_frames(5);
    game->teleport_player({-120.0f, 100.0f, 6.0f});
    ASSERT_TRUE(game->load_game(1));
    frame();
    expect_at(kStreet);
    expect_clean_world(2);
}

TEST_F(RealEstateScenario, TheAgentOfAGameNoLongerLoadedIsForgotten) {
    boot_with_houses();
    walk_to_door(kOffice, "Press [ENTER] to shop for properties");
    ASSERT_GT(game->save_game(), 0);
    game->run_frames(3);
    frame_pressing(ScanCode::Enter);
    ASSERT_EQ(world().characters().size(), 2u);
    EXPECT_EQ(world().blip_count(), 3u) << "the office, the house for sale, the agent";

    ASSERT_TRUE(game->load_game(1));
    game->run_frames(5);
    EXPECT_TRUE(shows(frame(), "Press [ENTER] to shop for properties")) << "selling mode is over";
    expect_clean_world(1);
}

}  // namespace
}  // namespace corvalen::test
