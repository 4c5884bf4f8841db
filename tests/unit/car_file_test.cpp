// Car files: the line and its formats, which lines load and how, the cars a
// file re-creates in the world, and what a failed write or read leaves behind.

#include "garage/car_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>

#include "autoservice/fuel_model.h"
#include "fresh_process.h"
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

// The line with value `column` replaced.
std::string with_field(const std::string& line, std::size_t column, const std::string& value) {
    std::size_t start = column == 0 ? 0 : first_fields(line, column).size();
    std::size_t end = line.find(',', start);
    return line.substr(0, start) + value + line.substr(end);
}

TEST(CarLineTest, EachColumnInItsOwnFormat) {
    StoredCar car;
    car.parked_at = -5;
    SavedVehicle& saved = car.vehicle;
    saved.model = 2317106693u;
    saved.x = -55.5f;
    saved.y = 1234.5678f;
    saved.z = 6.0f;
    saved.heading = 90.0f;
    saved.extra_value = -3;
    saved.extras = {true, false, false, false, false, false, false, false, false, true};
    saved.area_code = 4000000000u;
    const std::uint8_t bytes[5] = {0, 10, 44, 255, 7};
    std::memcpy(&saved.block[host::kColourBytesOffset], bytes, 3);
    saved.block[host::kLooksByteOffset] = bytes[3];
    saved.block[host::kColourBytesOffset + 3] = bytes[4];
    const std::int16_t tag = -2;
    std::memcpy(&saved.block[host::kVehicleTagOffset], &tag, sizeof(tag));
    auto put = [&](host::VehicleField field, float value) {
        std::memcpy(&saved.block[static_cast<std::size_t>(field)], &value, sizeof(value));
    };
    put(host::VehicleField::Damage, 3.25f);
    put(host::VehicleField::FuelRecord, 1234567.0f);
    put(host::VehicleField::Engine, 999.5f);
    put(host::VehicleField::Body, 1000.0f);

    EXPECT_EQ(car_file_line(car, 777),
              "2317106693,-55.5,1234.57,6,90.000000,0,10,44,255,7,3.250000,1.23457e+06,999.5,1000,"
              "-3,1,0,0,0,0,0,0,0,0,1,-2,4000000000,-5,777,\n");
}

TEST(CarLineTest, WhichLinesHoldACar) {
    struct Case {
        std::string line;
        bool loads;
    };
    const Case cases[] = {
        {kCoupeLine, true},
        {first_fields(kCoupeLine, 28), true},
        {first_fields(kCoupeLine, 27), true},
        {first_fields(kCoupeLine, 26), false},
        {kCoupeLine + "more,values,", true},
        {with_field(kCoupeLine, 1, "nan"), true},  // a position is checked later
        {with_field(kCoupeLine, 3, "-inf"), true},
        {with_field(kCoupeLine, 0, "-1977860603"), true},
        {with_field(kCoupeLine, 0, "coupe"), false},
        {with_field(kCoupeLine, 2, "1e39"), false},
        {with_field(kCoupeLine, 4, "north"), false},
        {with_field(kCoupeLine, 7, "256"), false},
        {with_field(kCoupeLine, 8, "-1"), false},
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

    std::optional<CarLine> car = parse_car_line(kCoupeLine);
    ASSERT_TRUE(car);
    EXPECT_EQ(car->colours, (std::array<std::uint8_t, 4>{0, 10, 44, 10}));
    EXPECT_EQ(car->looks, 255);
    EXPECT_EQ(car->area_code, 4000000000u);
    EXPECT_EQ(car->parked_at, 1234567);
    EXPECT_EQ(car->odometer, 4321);
    EXPECT_EQ(parse_car_line(first_fields(kCoupeLine, 27))->parked_at, 0);
    EXPECT_FALSE(parse_car_line(first_fields(kCoupeLine, 28))->odometer);
}

class CarFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories("corvalen/1");
        garage.set_car_file(kCarFile);
        garage.owner = &fuel;
        game().world().set_vehicle_pool_full(false);
    }

    // Re-creates the file's cars in a controller of its own.
    GarageController& load() {
        loaded.emplace();
        loaded->owner = &loaded_fuel;
        loaded->set_car_file(kCarFile);
        game_frame([&] { loaded->read_car_file(); });
        return *loaded;
    }
    const hostsim::Vehicle& vehicle_of(host::Handle handle) {
        const hostsim::Vehicle* car = game().world().vehicle(static_cast<std::int32_t>(handle));
        EXPECT_NE(car, nullptr);
        return *car;
    }
    // The handles of the loaded store, lowest (first created) first.
    std::vector<host::Handle> loaded_handles() {
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

TEST_F(CarFileTest, AParkedCarComesBackAsItWas) {
    hostsim::World& world = game().world();
    hostsim::Vehicle& car = world.add_vehicle(kCoupe, {12.5f, -40.25f, 5.5f}, 123.456f);
    const std::uint8_t colours[4] = {0, 10, 44, 10};
    for (std::uint32_t i = 0; i < 4; ++i)
        hostsim::set_vehicle_byte(car.object, hostsim::kColoursOffset + i, colours[i]);
    hostsim::set_vehicle_byte(car.object, hostsim::kLooksOffset, 255);
    hostsim::set_vehicle_float(car.object, hostsim::kDamageOffset, 250.5f);
    hostsim::set_vehicle_float(car.object, hostsim::kFuelRecordOffset, 1500.0f);
    hostsim::set_vehicle_float(car.object, hostsim::kEngineOffset, 310.0f);
    car.parts.extras = {true, false, false, true, false, false, false, false, false, true};
    car.parts.extra_value = -7;
    world.set_area_code(4000000000u);
    fuel.restore_odometer(static_cast<host::Handle>(car.handle), 4321);
    garage.add_spot({"", 12.0f, -40.0f, 5.0f, 5, 0});
    world.set_clock(22, 30);

    game_frame([&] { garage.park(static_cast<host::Handle>(car.handle)); });
    ASSERT_EQ(garage.stored.size(), 1u);
    EXPECT_EQ(hostsim::vehicle_byte(car.object, hostsim::kGarageByteOffset), 4);
    std::int32_t parked_at = garage.records.begin()->second.parked_at;
    ASSERT_TRUE(garage.write_car_file());
    std::string text = test::read_file(kCarFile);
    EXPECT_NE(text.find(",0,10,44,255,10,250.500000,1500,310,1000,-7,1,0,0,1,0,0,0,0,0,1,"),
              std::string::npos)
        << text;

    GarageController& store = load();
    ASSERT_EQ(store.stored.size(), 1u);
    host::Handle handle = store.stored.begin()->first;
    ASSERT_NE(handle, static_cast<host::Handle>(car.handle));
    const hostsim::Vehicle& again = vehicle_of(handle);
    EXPECT_EQ(again.model, kCoupe);
    EXPECT_EQ(again.object.position().x, 12.5f);
    EXPECT_EQ(again.object.position().y, -40.25f);
    EXPECT_EQ(again.object.position().z, 5.5f);
    EXPECT_FLOAT_EQ(again.object.heading(), 123.456f);
    for (std::uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(hostsim::vehicle_byte(again.object, hostsim::kColoursOffset + i), colours[i]);
    EXPECT_EQ(hostsim::vehicle_byte(again.object, hostsim::kLooksOffset), 255);
    EXPECT_EQ(hostsim::vehicle_float(again.object, hostsim::kDamageOffset), 250.5f);
    EXPECT_EQ(hostsim::vehicle_float(again.object, hostsim::kFuelRecordOffset), 1500.0f);
    EXPECT_EQ(hostsim::vehicle_float(again.object, hostsim::kEngineOffset), 1000.0f);
    EXPECT_EQ(again.parts.extras, car.parts.extras);
    EXPECT_EQ(again.parts.extra_value, -7);
    EXPECT_TRUE(again.parts.kept);
    EXPECT_TRUE(again.placed);

    const StoredCar& record = store.records.at(handle);
    EXPECT_EQ(record.vehicle.area_code, 4000000000u);
    EXPECT_EQ(record.parked_at, parked_at);
    EXPECT_EQ(record.parked_hour, 22);
    EXPECT_EQ(record.parked_minute, 30);
    EXPECT_EQ(loaded_fuel.odometer_metres(handle), 4321);
    EXPECT_TRUE(game().world().errors().empty()) << game().world().errors().front().text;
}

TEST_F(CarFileTest, FuelRecordsBelowAThousandComeBackAsAThousand) {
    test::write_file(kCarFile, with_field(kCoupeLine, 11, "400") + "\n" +
                                   with_field(kCoupeLine, 11, "1999.9") + "\n");
    load();
    std::vector<host::Handle> handles = loaded_handles();
    ASSERT_EQ(handles.size(), 2u);
    EXPECT_EQ(hostsim::vehicle_float(vehicle_of(handles[0]).object, hostsim::kFuelRecordOffset),
              1000.0f);
    EXPECT_EQ(hostsim::vehicle_float(vehicle_of(handles[1]).object, hostsim::kFuelRecordOffset),
              1999.0f);
}

TEST_F(CarFileTest, CarsWithoutAUsablePositionStandInARowFiveMetresApart) {
    test::write_file(kCarFile, with_field(kCoupeLine, 3, "60") + "\n" + kCoupeLine + "\n" +
                                   with_field(kCoupeLine, 1, "nan") + "\n" +
                                   with_field(kCoupeLine, 2, "-4000.5") + "\n");
    load();
    std::vector<host::Handle> handles = loaded_handles();
    ASSERT_EQ(handles.size(), 4u);
    struct Expected {
        hostsim::Vec3 at;
        float heading;
    };
    const Expected expected[] = {{{-55.0f, -80.0f, 15.0f}, 90.0f},
                                 {{12.5f, -40.25f, 5.5f}, 123.456f},
                                 {{-55.0f, -75.0f, 15.0f}, 90.0f},
                                 {{-55.0f, -70.0f, 15.0f}, 90.0f}};
    for (std::size_t i = 0; i < handles.size(); ++i) {
        SCOPED_TRACE(i);
        const hostsim::Vehicle& car = vehicle_of(handles[i]);
        EXPECT_EQ(car.object.position().x, expected[i].at.x);
        EXPECT_EQ(car.object.position().y, expected[i].at.y);
        EXPECT_EQ(car.object.position().z, expected[i].at.z);
        EXPECT_FLOAT_EQ(car.object.heading(), expected[i].heading);
    }
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
        loaded.emplace();
        loaded_fuel.forget_vehicles();
        loaded->owner = c.owner ? &loaded_fuel : nullptr;
        loaded->set_car_file(kCarFile);
        game_frame([&] { loaded->read_car_file(); });
        ASSERT_EQ(loaded->records.size(), 1u);
        const auto& [handle, record] = *loaded->records.begin();
        EXPECT_EQ(record.parked_at, c.parked_at);
        EXPECT_EQ(record.vehicle.area_code, 4000000000u);
        EXPECT_EQ(loaded_fuel.odometer_metres(handle), c.odometer);
    }
}

// A bad line, a model the game lacks or a creation that fails cost that car
// only; every other line of the file still loads.
TEST_F(CarFileTest, ALineThatCannotBeACarCostsOnlyThatLine) {
    std::string van = with_field(kCoupeLine, 0, std::to_string(kVan));
    test::write_file(kCarFile, kCoupeLine + "\n" + with_field(kCoupeLine, 9, "300") + "\n" +
                                   with_field(kCoupeLine, 0, "305419896") + "\n" + van + "\r\n");
    std::size_t vehicles = game().world().vehicles().size();
    load();
    std::vector<host::Handle> handles = loaded_handles();
    ASSERT_EQ(handles.size(), 2u);
    EXPECT_EQ(loaded->records.size(), 2u);
    EXPECT_EQ(vehicle_of(handles[0]).model, kCoupe);
    EXPECT_EQ(vehicle_of(handles[1]).model, kVan);
    EXPECT_EQ(game().world().vehicles().size(), vehicles + 2);

    game().world().set_vehicle_pool_full(true);
    load();
    EXPECT_TRUE(loaded->stored.empty());
    EXPECT_TRUE(loaded->records.empty());
    EXPECT_EQ(game().world().vehicles().size(), vehicles + 2);
    EXPECT_TRUE(game().world().errors().empty()) << game().world().errors().front().text;
}

// A full disk at every byte of the new file: each failed write is reported
// and leaves the previous file as it was, with no temporary beside it.
TEST_F(CarFileTest, AWriteThatFailsAnywhereKeepsThePreviousFile) {
    test::run_in_fresh_process([&] {
        const std::string previous = kCoupeLine + "\n";
        test::write_file(kCarFile, previous);
        hostsim::World& world = game().world();
        for (int i = 0; i < 2; ++i) {
            float x = static_cast<float>(i) * 10.0f;
            hostsim::Vehicle& car = world.add_vehicle(kCoupe, {x, 0.0f, 5.0f}, 0.0f);
            garage.add_spot({"", x, 0.0f, 5.0f, 1, 0});
            game_frame([&] { garage.park(static_cast<host::Handle>(car.handle)); });
        }
        test::require(garage.stored.size() == 2, "two cars parked");
        std::size_t size = 0;
        for (const auto& [handle, block] : garage.stored)
            size += garage.car_line(handle).size();

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        for (std::size_t bytes = 0; bytes < size; ++bytes) {
            limit.rlim_cur = bytes;
            test::require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "file size limit set");
            test::require(!garage.write_car_file(), "the failed write reported");
            test::require(test::read_file(kCarFile) == previous, "the previous file kept");
            test::require(parse_car_line(kCoupeLine).has_value(), "and readable");
            test::require(!fs::exists(std::string(kCarFile) + ".tmp"), "no temporary left");
        }
        limit.rlim_cur = limit.rlim_max;
        test::require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "file size limit lifted");
        test::require(garage.write_car_file(), "written once there is room");
        test::require(test::read_file(kCarFile).size() == size, "both cars written");
    });
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
