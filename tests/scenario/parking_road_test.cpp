// A car left in a pay car park and collected later, across a save and a load,
// with the real plug-in; and the backups the autosave rotates before it writes
// the car file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

const std::uint32_t kEstate = hostsim::vehicle_models()[0].id;
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
    // Drives a vehicle from where it stands to a point and gets out.
    void drive_and_leave(std::int32_t vehicle, hostsim::Vec3 to) {
        ASSERT_TRUE(game->enter_vehicle(vehicle));
        frame();
        ASSERT_GT(game->walk_player_to(to, 10.0f), 0);
        game->leave_vehicle();
        frame();
    }
    std::vector<std::string> lines_of_car_file() {
        std::vector<std::string> lines;
        std::string text = read_file(kCarFile);
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }
    // No host errors, nothing left on the map, and only the player and the
    // cars the test expects in the world.
    void expect_clean_world(std::size_t vehicles) {
        EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
        EXPECT_EQ(world().blip_count(), 0u);
        EXPECT_EQ(world().vehicles().size(), vehicles);
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
    hostsim::Vec3 home = world().vehicle(coupe)->object.position();
    drive_and_leave(coupe, {kLot.x, kLot.y, 6.0f});
    EXPECT_EQ(texts_of(frame()), std::vector<std::string>{"Vehicle Parked"});
    EXPECT_EQ(world().clock().hour, 22);
    float heading = world().vehicle(coupe)->object.heading();

    // The game's save screen: the autosave writes the car file.
    game->pass_wall_time(13);
    ASSERT_GT(game->save_game(), 0);
    std::vector<std::string> lines = lines_of_car_file();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind(std::to_string(kCoupe) + ",-60,35,6,", 0), 0u) << lines[0];
    // The last value is the odometer: about the 39 m driven.
    std::string last = lines[0].substr(lines[0].rfind(',', lines[0].size() - 2) + 1);
    int odometer = std::stoi(last);
    EXPECT_GE(odometer, 35);
    EXPECT_LE(odometer, 39);
    game->run_frames(3);

    // Loaded again: the game's own coupe is back home, the parked one is
    // re-created where it stood.
    ASSERT_TRUE(game->load_game(1));
    EXPECT_EQ(world().vehicle(coupe)->object.position().x, home.x);
    std::int32_t parked = vehicle_at(kCoupe, {kLot.x, kLot.y, 6.0f});
    ASSERT_NE(parked, coupe);
    const hostsim::Vehicle& car = *world().vehicle(parked);
    EXPECT_EQ(car.object.position().x, -60.0f);
    EXPECT_EQ(car.object.position().y, 35.0f);
    EXPECT_EQ(car.object.position().z, 6.0f);
    EXPECT_NEAR(car.object.heading(), heading, 1e-3f);
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
    game->pass_wall_time(5);
    EXPECT_EQ(texts_of(frame()).back(), "Ticket $9.69 - Overnight");
    game->pass_wall_time(1);
    EXPECT_EQ(texts_of(frame()).size(), 3u) << "shown for six seconds";
    expect_clean_world(4);
}

// The autosave copies the save's folder to backup 1 before it writes the car
// file, so backup 1 holds what the autosave before wrote.
TEST_F(ParkingRoadTest, BackupOneHoldsTheCarFileOfTheAutosaveBefore) {
    write_file("corvalen/corvalen.conf", "keep_backups=1\n");
    write_file("corvalen/pub_parking_lots.csv",
               "-114.00,38.00,5.00,5,0,\n-95.00,52.00,5.00,5,0,\n");
    boot(still_time());
    frame();
    auto autosave = [&] {
        world().set_paused(true);
        game->pass_wall_time(13);
        frame();
        world().set_paused(false);
        return read_file(kCarFile);
    };

    std::int32_t estate = vehicle_at(kEstate, {-114.0f, 38.0f, 6.0f});
    drive_and_leave(estate, {-113.0f, 38.0f, 6.0f});
    std::string first = autosave();
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 1);

    std::int32_t coupe = vehicle_at(kCoupe, {-95.0f, 52.0f, 6.0f});
    drive_and_leave(coupe, {-96.0f, 52.0f, 6.0f});
    std::string second = autosave();
    EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 2);
    EXPECT_EQ(read_file("corvalen/1.backup1/pub_parking_cars.csv"), first);
    EXPECT_FALSE(fs::exists("corvalen/1.backup2"));
    expect_clean_world(3);
}

}  // namespace
}  // namespace corvalen::test
