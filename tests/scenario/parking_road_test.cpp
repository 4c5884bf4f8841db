// A car left in a pay car park and collected later, across a save and a load,
// with the real plug-in.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

const std::uint32_t kCoupe = hostsim::vehicle_models()[1].id;
constexpr const char* kCarFile = "corvalen/1/pub_parking_cars.csv";
constexpr hostsim::Vec3 kLot{-60.0f, 35.0f, 5.0f};

// Two decimals, as the fuel display writes them.
std::string fixed_text(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", value);
    return text;
}

class ParkingRoadTest : public PluginScenario {
  protected:
    // The handle of the world's vehicle of a model nearest to a point.
    std::int32_t vehicle_at(std::uint32_t model, hostsim::Vec3 near) {
        std::int32_t found = 0;
        float best = 1e9f;
        for (const auto& [handle, car] : world().vehicles()) {
            float d = hostsim::distance(car.object.position(), near);
            if (car.model == model && d < best) {
                best = d;
                found = handle;
            }
        }
        return found;
    }
};

TEST_F(ParkingRoadTest, ACarParkedOvernightIsThereAfterALoadAndCostsTheOvernightTicket) {
    write_file("corvalen/pub_parking_lots.csv", "-60.00,35.00,5.00,8,0,\n");
    hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
    // Away from UTC, and not by whole hours: parked at 22:30 must come back as
    // 22:30 on any machine.
    options.world.time_zone = "IST-5:30";
    options.world.clock_hour = 22;
    options.world.clock_minute = 28;
    boot(options);
    frame();

    std::int32_t coupe = vehicle_at(kCoupe, {-95.0f, 52.0f, 6.0f});
    ASSERT_TRUE(game->enter_vehicle(coupe));
    frame();
    ASSERT_GT(game->walk_player_to({kLot.x, kLot.y, 6.0f}, 10.0f), 0);
    game->leave_vehicle();
    frame();
    EXPECT_EQ(texts_of(frame()), std::vector<std::string>{"Vehicle Parked"});

    // The game's save screen: the autosave writes the car file.
    game->pass_wall_time(13);
    ASSERT_GT(game->save_game(), 0);
    std::string line = read_file(kCarFile);
    EXPECT_EQ(line.rfind(std::to_string(kCoupe) + ",-60,35,6,", 0), 0u) << line;
    ASSERT_EQ(line.find('\n'), line.size() - 1) << "one line";
    // The last value is the odometer: about the 39 m driven.
    int odometer = std::stoi(line.substr(line.rfind(',', line.size() - 3) + 1));
    EXPECT_GE(odometer, 35);
    EXPECT_LE(odometer, 39);
    game->run_frames(3);

    // Loaded again: the parked coupe is re-created where it stood.
    ASSERT_TRUE(game->load_game(1));
    std::int32_t parked = vehicle_at(kCoupe, {kLot.x, kLot.y, 6.0f});
    ASSERT_NE(parked, coupe);
    const hostsim::Vehicle& car = *world().vehicle(parked);
    EXPECT_EQ(hostsim::distance(car.object.position(), {kLot.x, kLot.y, 6.0f}), 0.0f);
    EXPECT_TRUE(car.parts.kept);

    // 08:00 next morning the player gets in and pays.
    hostsim::ClockReading now = world().clock();
    std::int32_t minutes = (24 - now.hour + 8) * 60 - now.minute;
    game->pass_game_time(static_cast<std::uint32_t>(minutes) * 60 * 1000 / 30 -
                         static_cast<std::uint32_t>(now.second) * 1000 / 30);
    EXPECT_EQ(world().clock().hour, 8);
    float cash = world().cash();
    ASSERT_TRUE(game->enter_vehicle(parked));
    // The fuel display shows the distance the car file kept, the ticket its
    // rate.
    std::vector<std::string> shown = texts_of(frame());
    EXPECT_EQ(world().cash(), cash - 10.0f);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[1], "dist " + fixed_text(odometer / 1000.0) + " km");
    EXPECT_EQ(shown[3], "Ticket $9.69 - Overnight");
    game->pass_wall_time(6);
    EXPECT_EQ(texts_of(frame()).size(), 3u) << "shown for six seconds";
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
    EXPECT_EQ(world().blip_count(), 0u);
    EXPECT_EQ(world().vehicles().size(), 4u) << "the player and three cars";
}

}  // namespace
}  // namespace corvalen::test
