// Car files: the line and its formats, which lines load and how, the cars a
// file re-creates in the world, and a file that could not be read.

#include "garage/car_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// A position as three numbers that compare and print.
std::array<float, 3> xyz(hostsim::Vec3 at) {
    return {at.x, at.y, at.z};
}

// The line with value `column` replaced.
std::string with_field(const std::string& line, std::size_t column, const std::string& value) {
    std::size_t start = column == 0 ? 0 : first_fields(line, column).size();
    return line.substr(0, start) + value + line.substr(line.find(',', start));
}

TEST(CarLineTest, WhichLinesHoldACar) {
    struct Case {
        std::string line;
        bool loads;
    };
    const Case cases[] = {
        {kCoupeLine, true},
        {first_fields(kCoupeLine, 27), true},
        {first_fields(kCoupeLine, 26), false},
        {kCoupeLine + "more,values,", true},
        {with_field(kCoupeLine, 1, "nan"), true},  // a position is checked later
        {with_field(kCoupeLine, 3, "-inf"), true},
        {with_field(kCoupeLine, 0, "-1977860603"), true},
        {with_field(kCoupeLine, 0, "coupe"), false},
        {with_field(kCoupeLine, 2, "1e39"), false},
        {with_field(kCoupeLine, 4, "north"), false},
        {with_field(kCoupeLine, 7, "256"), true},  // a byte keeps its low byte
        {with_field(kCoupeLine, 8, "-1"), true},
        {with_field(kCoupeLine, 8, "dark"), false},
        {with_field(kCoupeLine, 10, "nan"), false},
        {with_field(kCoupeLine, 11, "full"), false},
        {with_field(kCoupeLine, 12, "not read"), true},
        {with_field(kCoupeLine, 14, "3000000000"), false},
        {with_field(kCoupeLine, 20, "x"), false},
        {with_field(kCoupeLine, 25, "not read"), true},
        {with_field(kCoupeLine, 26, "4294967296"), false},
        {with_field(kCoupeLine, 27, "soon"), false},
        {with_field(kCoupeLine, 28, "far"), false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parse_car_line(c.line).has_value(), c.loads);
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
    const hostsim::Vehicle& vehicle_of(host::Handle handle) {
        return *game().world().vehicle(static_cast<std::int32_t>(handle));
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
    EXPECT_EQ(test::read_file(kCarFile),
              std::to_string(kCoupe) +
                  ",1234.57,-40.25,5.5,123.456001,0,10,44,255,10,250.500000,1500,310,640,-7,1,0,"
                  "0,1,0,0,0,0,0,1,-2,4000000000," +
                  std::to_string(parked_at) + ",4321,\n");

    std::vector<host::Handle> handles = load();
    ASSERT_EQ(handles.size(), 1u);
    ASSERT_NE(handles[0], static_cast<host::Handle>(car.handle));
    const hostsim::Vehicle& again = vehicle_of(handles[0]);
    EXPECT_EQ(again.model, kCoupe);
    EXPECT_EQ(xyz(again.object.position()), xyz({1234.57f, -40.25f, 5.5f}));
    EXPECT_FLOAT_EQ(again.object.heading(), 123.456f);
    for (std::uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(hostsim::vehicle_byte(again.object, hostsim::kColoursOffset + i), colours[i]);
    EXPECT_EQ(hostsim::vehicle_byte(again.object, hostsim::kLooksOffset), 255);
    EXPECT_EQ(hostsim::vehicle_float(again.object, hostsim::kDamageOffset), 250.5f);
    EXPECT_EQ(hostsim::vehicle_float(again.object, hostsim::kFuelRecordOffset), 1500.0f);
    EXPECT_EQ(hostsim::vehicle_float(again.object, hostsim::kEngineOffset), 1000.0f);
    EXPECT_EQ(hostsim::vehicle_float(again.object, hostsim::kBodyOffset), 1000.0f);
    EXPECT_EQ(again.parts.extras, car.parts.extras);
    EXPECT_EQ(again.parts.extra_value, -7);
    EXPECT_TRUE(again.parts.kept);
    EXPECT_TRUE(again.placed);

    const StoredCar& record = loaded->records.at(handles[0]);
    EXPECT_EQ(record.vehicle.area_code, 4000000000u);
    EXPECT_EQ(record.parked_at, parked_at);
    EXPECT_EQ(record.parked_hour, 22);
    EXPECT_EQ(record.parked_minute, 30);
    EXPECT_EQ(loaded_fuel.odometer_metres(handles[0]), 4321);
    EXPECT_TRUE(world.errors().empty()) << world.errors().front().text;
}

// Bad positions send a car to a row 5 m apart; a line that cannot be a car,
// or a model the game lacks, costs that car only.
TEST_F(CarFileTest, EachLineComesBackAsFarAsItCan) {
    test::write_file(kCarFile,
                     with_field(kCoupeLine, 3, "60") + "\n" + with_field(kCoupeLine, 11, "400") +
                         "\n" + with_field(kCoupeLine, 1, "nan") + "\n" +
                         with_field(kCoupeLine, 20, "x") + "\n" + with_field(kCoupeLine, 9, "300") +
                         "\n" + with_field(kCoupeLine, 0, "305419896") + "\n" +
                         with_field(with_field(kCoupeLine, 2, "-4000.5"), 11, "1999.9") + "\n" +
                         with_field(kCoupeLine, 0, std::to_string(kVan)) + "\r\n");
    struct Expected {
        std::uint32_t model;
        hostsim::Vec3 at;
        float heading;
        float fuel_record;
        std::uint8_t last_colour;
    };
    const hostsim::Vec3 own{12.5f, -40.25f, 5.5f};
    const Expected expected[] = {
        {kCoupe, {-55.0f, -80.0f, 15.0f}, 90.0f, 1500.0f, 10}, {kCoupe, own, 123.456f, 1000.0f, 10},
        {kCoupe, {-55.0f, -75.0f, 15.0f}, 90.0f, 1500.0f, 10}, {kCoupe, own, 123.456f, 1500.0f, 44},
        {kCoupe, {-55.0f, -70.0f, 15.0f}, 90.0f, 1999.0f, 10}, {kVan, own, 123.456f, 1500.0f, 10}};
    std::size_t vehicles = game().world().vehicles().size();
    std::vector<host::Handle> handles = load();
    ASSERT_EQ(handles.size(), std::size(expected));
    EXPECT_EQ(loaded->records.size(), handles.size());
    for (std::size_t i = 0; i < handles.size(); ++i) {
        SCOPED_TRACE(i);
        const hostsim::Vehicle& car = vehicle_of(handles[i]);
        EXPECT_EQ(car.model, expected[i].model);
        EXPECT_EQ(xyz(car.object.position()), xyz(expected[i].at));
        EXPECT_FLOAT_EQ(car.object.heading(), expected[i].heading);
        EXPECT_EQ(hostsim::vehicle_float(car.object, hostsim::kFuelRecordOffset),
                  expected[i].fuel_record);
        EXPECT_EQ(hostsim::vehicle_byte(car.object, hostsim::kColoursOffset + 3),
                  expected[i].last_colour);
    }

    // No room for a vehicle in the game: nothing is created or kept.
    game().world().set_vehicle_pool_full(true);
    EXPECT_TRUE(load().empty());
    EXPECT_TRUE(loaded->records.empty());
    EXPECT_EQ(game().world().vehicles().size(), vehicles + std::size(expected));
    EXPECT_TRUE(game().world().errors().empty()) << game().world().errors().front().text;
}

TEST_F(CarFileTest, ShortLinesLoadWithWhatTheyHold) {
    struct Case {
        std::size_t fields;
        bool owner;
        std::int32_t parked_at;
        std::int32_t odometer;
    };
    const Case cases[] = {{27, true, 0, 0},
                          {28, true, 1234567, 0},
                          {29, true, 1234567, 4321},
                          {29, false, 1234567, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields);
        test::write_file(kCarFile, first_fields(kCoupeLine, c.fields) + "\n");
        std::vector<host::Handle> handles = load(c.owner);
        ASSERT_EQ(handles.size(), 1u);
        const StoredCar& record = loaded->records.at(handles[0]);
        EXPECT_EQ(record.parked_at, c.parked_at);
        EXPECT_EQ(record.vehicle.area_code, 4000000000u);
        EXPECT_EQ(loaded_fuel.odometer_metres(handles[0]), c.odometer);
    }
}

// A file that is there but cannot be read holds cars nobody loaded: the next
// save must not replace it with the (empty) store.
TEST_F(CarFileTest, AFileThatCouldNotBeReadIsNotOverwritten) {
    fs::create_directories("corvalen/elsewhere");
    fs::create_directory_symlink(fs::absolute("corvalen/elsewhere"), kCarFile);
    hostsim::Vehicle& car = game().world().add_vehicle(kCoupe, {0.0f, 0.0f, 5.0f}, 0.0f);
    garage.add_spot({"", 0.0f, 0.0f, 5.0f, 3, 0});
    bool read = true;
    game_frame([&] { read = garage.read_car_file(); });
    EXPECT_FALSE(read);
    game_frame([&] { garage.park(static_cast<host::Handle>(car.handle)); });
    EXPECT_FALSE(garage.write_car_file());
    EXPECT_TRUE(fs::is_symlink(kCarFile));

    // Once it reads, saving works again.
    fs::remove(kCarFile);
    test::write_file(kCarFile, kCoupeLine + "\n");
    game_frame([&] { read = garage.read_car_file(); });
    EXPECT_TRUE(read);
    EXPECT_TRUE(garage.write_car_file());
    // The tag (column 25) is the new vehicle's own.
    EXPECT_EQ(test::read_file(kCarFile), with_field(kCoupeLine, 25, "0") + "\n");
}

}  // namespace
}  // namespace corvalen
