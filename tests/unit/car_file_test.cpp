// Car files: the line and its formats, which lines load and how, the cars a
// file re-creates in the world, and a file that could not be read.

#include "garage/car_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "autoservice/fuel_model.h"
#include "game_frame.h"
#include "garage/garage_controller.h"
#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;
using test::game;
using test::game_frame;

const std::uint32_t kCoupe = hostsim::vehicle_models()[1].id;
const std::uint32_t kVan = hostsim::vehicle_models()[2].id;
constexpr const char* kCarFile = "corvalen/1/pub_parking_cars.csv";

// A full line of a coupe, as the writer puts it.
const std::string kCoupeLine = std::to_string(kCoupe) +
                               ",12.5,-40.25,5.5,123.456001,0,10,44,255,10,250.500000,1500,1000,"
                               "1000,-7,1,0,0,1,0,0,0,0,0,1,3,4000000000,1234567,4321,";

// The line with its first `count` values, each followed by ",".
std::string first_fields(const std::string& line, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < count; ++i)
        end = line.find(',', end) + 1;
    return line.substr(0, end);
}

// The line with its position and heading (values 1 to 4) replaced.
std::string placed_at(const std::string& line, const std::string& where) {
    return first_fields(line, 1) + where + "," + line.substr(first_fields(line, 5).size());
}

// The line with value `column` replaced.
std::string with_field(const std::string& line, std::size_t column, const std::string& value) {
    std::size_t start = column == 0 ? 0 : first_fields(line, column).size();
    return line.substr(0, start) + value + line.substr(line.find(',', start));
}

TEST(CarLineTest, WhichLinesHoldACar) {
    const std::pair<std::string, bool> cases[] = {
        {first_fields(kCoupeLine, 26), false},
        {kCoupeLine + "more,values,", true},
        {with_field(kCoupeLine, 1, "nan"), true},  // a position is checked later
        {with_field(kCoupeLine, 0, "-1977860603"), true},
        {with_field(kCoupeLine, 0, "coupe"), false},
        {with_field(kCoupeLine, 2, "1e39"), false},
        {with_field(kCoupeLine, 4, "north"), false},
        {with_field(kCoupeLine, 7, "256"), true},  // a byte keeps its low byte
        {with_field(kCoupeLine, 8, "dark"), false},
        {with_field(kCoupeLine, 10, "nan"), false},
        {with_field(kCoupeLine, 11, "full"), false},
        {with_field(kCoupeLine, 12, "not read"), true},
        {with_field(kCoupeLine, 14, "3000000000"), false},
        {with_field(kCoupeLine, 25, "not read"), true},
        {with_field(kCoupeLine, 26, "4294967296"), false},
        {with_field(kCoupeLine, 27, "soon"), false},
        {with_field(kCoupeLine, 28, "far"), false},
    };
    for (const auto& [line, loads] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(parse_car_line(line).has_value(), loads);
    }
}

class CarFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories("corvalen/1");
        garage.set_car_file(kCarFile);
        garage.owner = &fuel;
    }

    // Re-creates the file's cars in a controller of its own; the handles of
    // its store, first created first.
    std::vector<host::Handle> load(bool with_owner = true) {
        loaded.emplace();
        loaded_fuel.forget_vehicles();
        loaded->owner = with_owner ? &loaded_fuel : nullptr;
        loaded->set_car_file(kCarFile);
        game_frame([&] { loaded->read_car_file(); });
        std::vector<host::Handle> handles;
        for (const auto& [handle, block] : loaded->stored)
            handles.push_back(handle);
        std::sort(handles.begin(), handles.end());
        return handles;
    }

    test::WorkingFolder folder;
    FuelModel fuel{nullptr};
    GarageController garage;
    FuelModel loaded_fuel{nullptr};
    std::optional<GarageController> loaded;
};

TEST_F(CarFileTest, AParkedCarIsWrittenInItsColumnsAndComesBackAsItWas) {
    hostsim::World& world = game().world();
    hostsim::Vehicle& car = world.add_vehicle(kCoupe, {1234.5678f, -40.25f, 5.5f}, 123.456f);
    const std::uint8_t colours[4] = {0, 10, 44, 10};
    for (std::uint32_t i = 0; i < 4; ++i)
        hostsim::set_vehicle_byte(car.object, hostsim::kColoursOffset + i, colours[i]);
    hostsim::set_vehicle_byte(car.object, hostsim::kLooksOffset, 255);
    hostsim::set_vehicle_byte(car.object, hostsim::kTagOffset, 0xFE);  // the tag -2
    hostsim::set_vehicle_byte(car.object, hostsim::kTagOffset + 1, 0xFF);
    hostsim::set_vehicle_float(car.object, hostsim::kDamageOffset, 250.5f);
    hostsim::set_vehicle_float(car.object, hostsim::kFuelRecordOffset, 1500.0f);
    hostsim::set_vehicle_float(car.object, hostsim::kEngineOffset, 310.0f);
    hostsim::set_vehicle_float(car.object, hostsim::kBodyOffset, 640.0f);
    car.parts.extras = {true, false, false, true, false, false, false, false, false, true};
    car.parts.extra_value = -7;
    world.set_area_code(4000000000u);
    fuel.restore_odometer(static_cast<host::Handle>(car.handle), 4321);
    garage.add_spot({"", 1234.0f, -40.0f, 5.0f, 5, 0});
    world.set_clock(22, 30);

    game_frame([&] { garage.park(static_cast<host::Handle>(car.handle)); });
    ASSERT_EQ(garage.stored.size(), 1u);
    std::int32_t parked_at = garage.records.begin()->second.parked_at;
    ASSERT_TRUE(garage.write_car_file());
    const std::string written = test::read_file(kCarFile);
    EXPECT_EQ(written,
              std::to_string(kCoupe) +
                  ",1234.57,-40.25,5.5,123.456001,0,10,44,255,10,250.500000,1500,310,640,-7,1,0,"
                  "0,1,0,0,0,0,0,1,-2,4000000000," +
                  std::to_string(parked_at) + ",4321,\n");

    // Re-created, it writes the same line but for the sound body and engine
    // and the tag (column 25), which is the new vehicle's own.
    std::vector<host::Handle> handles = load();
    ASSERT_EQ(handles.size(), 1u);
    ASSERT_NE(handles[0], static_cast<host::Handle>(car.handle));
    loaded->set_car_file("corvalen/1/again.csv");
    ASSERT_TRUE(loaded->write_car_file());
    EXPECT_EQ(test::read_file("corvalen/1/again.csv"),
              with_field(with_field(with_field(written, 12, "1000"), 13, "1000"), 25, "0"));
    const hostsim::Vehicle& again = *world.vehicle(static_cast<std::int32_t>(handles[0]));
    EXPECT_TRUE(again.parts.kept);
    EXPECT_TRUE(again.placed);
    EXPECT_EQ(loaded->records.at(handles[0]).parked_hour, 22);
    EXPECT_EQ(loaded->records.at(handles[0]).parked_minute, 30);
    EXPECT_TRUE(world.errors().empty()) << world.errors().front().text;
}

// The editor's "load" while the cars of the last load still stand.
TEST_F(CarFileTest, LoadingAgainReplacesTheStoredCarsInsteadOfDoublingThem) {
    test::write_file(kCarFile, kCoupeLine + "\n");
    hostsim::World& world = game().world();
    game_frame([&] { garage.read_car_file(); });
    ASSERT_EQ(garage.stored.size(), 1u);
    host::Handle first = garage.stored.begin()->first;
    std::size_t vehicles = world.vehicles().size();

    game_frame([&] { garage.read_car_file_again(); });
    ASSERT_EQ(garage.stored.size(), 1u);
    EXPECT_NE(garage.stored.begin()->first, first);
    EXPECT_EQ(world.vehicle(static_cast<std::int32_t>(first)), nullptr);
    EXPECT_EQ(world.vehicles().size(), vehicles);
    EXPECT_TRUE(world.errors().empty()) << world.errors().front().text;
}

// Bad positions send a car to a row 5 m apart; a line that cannot be a car,
// or a model the game lacks, costs that car only; short lines load with what
// they hold.
TEST_F(CarFileTest, EachLineComesBackAsFarAsItCan) {
    const std::string van = std::to_string(kVan);
    test::write_file(kCarFile,
                     with_field(kCoupeLine, 3, "60") + "\n" + with_field(kCoupeLine, 11, "400") +
                         "\n" + with_field(kCoupeLine, 1, "nan") + "\n" +
                         with_field(kCoupeLine, 20, "x") + "\n" + with_field(kCoupeLine, 9, "300") +
                         "\n" + with_field(kCoupeLine, 0, "305419896") + "\n" +
                         with_field(with_field(kCoupeLine, 2, "-4000.5"), 11, "1999.9") + "\n" +
                         with_field(kCoupeLine, 0, van) + "\r\n" + first_fields(kCoupeLine, 27) +
                         "\n" + first_fields(kCoupeLine, 28) + "\n");
    std::size_t vehicles = game().world().vehicles().size();
    EXPECT_EQ(load().size(), 8u);
    EXPECT_EQ(loaded->records.size(), 8u);
    // Written back as the new vehicles stand, each with its own tag (column 25).
    loaded->set_car_file("corvalen/1/again.csv");
    ASSERT_TRUE(loaded->write_car_file());
    const std::string car = with_field(kCoupeLine, 25, "0");
    EXPECT_EQ(test::read_file("corvalen/1/again.csv"),
              placed_at(car, "-55,-80,15,90.000000") + "\n" + with_field(car, 11, "1000") + "\n" +
                  placed_at(car, "-55,-75,15,90.000000") + "\n" + with_field(car, 9, "44") + "\n" +
                  placed_at(with_field(car, 11, "1999"), "-55,-70,15,90.000000") + "\n" +
                  with_field(car, 0, van) + "\n" + with_field(with_field(car, 27, "0"), 28, "0") +
                  "\n" + with_field(car, 28, "0") + "\n" +
                  // The cars it could not make wait in the file for a later load.
                  with_field(kCoupeLine, 20, "x") + "\n" + with_field(kCoupeLine, 0, "305419896") +
                  "\n");

    EXPECT_EQ(load(false).size(), 8u) << "a garage without fuel model skips the odometer";
    // No room for a vehicle in the game: nothing is created, and the cars
    // wait in the file for a load that has room.
    game().world().set_vehicle_pool_full(true);
    EXPECT_TRUE(load().empty());
    EXPECT_TRUE(loaded->records.empty());
    EXPECT_EQ(loaded->kept_lines.size(), 10u);
    EXPECT_EQ(game().world().vehicles().size(), vehicles + 16);
    ASSERT_TRUE(loaded->write_car_file());
    game().world().set_vehicle_pool_full(false);
    EXPECT_EQ(load().size(), 8u);
    EXPECT_TRUE(game().world().errors().empty()) << game().world().errors().front().text;
}

}  // namespace
}  // namespace corvalen
