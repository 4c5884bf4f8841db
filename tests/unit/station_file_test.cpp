// The station file and the fuel data file: which lines count, what is
// written back, and the stations' blips.

#include <gtest/gtest.h>

#include <filesystem>

#include "autoservice/fuel_data.h"
#include "autoservice/service_manager.h"
#include "autoservice/station_file.h"
#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;
constexpr const char* kStationsFile = "corvalen/service_stations.csv";

TEST(FuelDataTest, ModelsReadTheirTankAndMileageAndLaterRowsReplaceEarlierOnes) {
    test::WorkingFolder folder;
    EXPECT_TRUE(read_fuel_data("corvalen/fuel_data.csv").empty());
    test::write_file("corvalen/fuel_data.csv",
                     "Estate,100,60,10.5,7,\r\n"
                     "name,model,tank,km,extra,\n"
                     "Van,1,60,fast,0,\n"
                     "Van,1,60,10.5,\n"
                     "Signed,-1977860603,45,14,0,\n"
                     "Dry,5,0,10,0,\n"  // no tank: the default one
                     "Minus,6,-20,0,0,\n"
                     "Estate,100,70,9,1,\n");
    FuelSpecs specs = read_fuel_data("corvalen/fuel_data.csv");
    std::vector<std::string> read;
    for (std::uint32_t model : {100u, 2317106693u, 5u, 6u}) {
        const FuelSpec& spec = specs.at(model);
        read.push_back(spec.name + " " + std::to_string(spec.tank) + " " +
                       std::to_string(spec.km_per_litre) + " " + std::to_string(spec.spec_extra));
    }
    EXPECT_EQ(specs.size(), 4u);
    EXPECT_EQ(read, (std::vector<std::string>{"Estate 70 9.000000 1", "Signed 45 14.000000 0",
                                              "Dry 50 10.000000 0", "Minus 50 0.000000 0"}));
}

class StationFileTest : public ::testing::Test {
  protected:
    void load(ServiceManager& stations) {
        game_frame([&] { stations.load_stations(); });
    }

    test::WorkingFolder folder;
};

TEST_F(StationFileTest, FiveNumbersMakeAStationWithTheBlipOfItsKind) {
    test::write_file(kStationsFile,
                     "1.00,2.00,3.00,4,2,\n"
                     "x,2,3,4,1,\n"
                     "5,6,7,8,\n"
                     "1,2,3,4,gas,\n"
                     "1,2,nan,4,1,\n"
                     "1,2,3,99999999999,1,\n"
                     "\n"
                     "-60.00,35.00,5.00,6,1,Harbour Road,\n"
                     "10,20,5,7.9,3,extra,fields,\n");
    Config config;
    config.parse("blip_gas_station=true\nblip_car_service=true\n");
    ServiceManager stations(&config);
    std::size_t blips = game().world().blip_count();
    load(stations);
    ASSERT_EQ(stations.places.size(), 3u);
    EXPECT_EQ(game().world().blip_count(), blips + 3);
    struct Expected {
        float x, y, z;
        std::int32_t radius, kind, sprite, colour;
        const char* name;
    };
    const Expected expected[] = {{1, 2, 3, 4, kRepairShop, 79, 11, "Auto Service"},
                                 {-60, 35, 5, 6, kGasStation, 79, 2, "Gas Station"},
                                 {10, 20, 5, 7, 3, 29, 0, ""}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Place& place = stations.places[i];
        EXPECT_EQ(place.x, expected[i].x);
        EXPECT_EQ(place.y, expected[i].y);
        EXPECT_EQ(place.z, expected[i].z);
        EXPECT_EQ(place.radius, expected[i].radius);
        EXPECT_EQ(place.kind, expected[i].kind);
        EXPECT_TRUE(place.show_marker);
        const hostsim::Blip* blip = game().world().blip(static_cast<std::int32_t>(place.blip));
        ASSERT_NE(blip, nullptr);
        EXPECT_EQ(blip->sprite, expected[i].sprite);
        EXPECT_EQ(blip->colour, expected[i].colour);
        EXPECT_EQ(blip->name, expected[i].name);
        EXPECT_EQ(blip->scale, 0.5f);
    }
}

TEST_F(StationFileTest, LoadingReplacesTheStationsAndTheirBlips) {
    test::write_file(kStationsFile, "1,2,3,4,1,\n5,6,7,8,2,\n");
    Config config;
    config.parse("blip_gas_station=true\n");
    ServiceManager stations(&config);
    std::size_t blips = game().world().blip_count();
    load(stations);
    host::Handle first = stations.places[0].blip;
    load(stations);
    EXPECT_EQ(stations.places.size(), 2u);
    EXPECT_EQ(game().world().blip_count(), blips + 1) << "the repair shop has no blip setting";
    EXPECT_EQ(stations.places[1].blip_sprite, -1);
    EXPECT_EQ(game().world().blip(static_cast<std::int32_t>(first)), nullptr);

    std::filesystem::remove(kStationsFile);
    load(stations);
    EXPECT_TRUE(stations.places.empty());
    EXPECT_EQ(game().world().blip_count(), blips);
    EXPECT_TRUE(game().world().errors().empty()) << game().world().errors().front().text;
}

TEST_F(StationFileTest, SavingWritesEachStationWithItsStreetAsOneField) {
    ServiceManager stations(nullptr);
    stations.places.emplace_back(6, kGasStation, -120.004f, 35.0f, 5.0f);  // Harbour Road
    stations.places.emplace_back(4, kRepairShop, 700.0f, 700.0f, 0.0f);    // no street there
    bool saved = false;
    game_frame([&] { saved = stations.save_stations(); });
    ASSERT_TRUE(saved);
    EXPECT_EQ(test::read_file(kStationsFile),
              "-120.00,35.00,5.00,6,1,Harbour Road,\n700.00,700.00,0.00,4,2,,\n");
    EXPECT_FALSE(std::filesystem::exists(std::string(kStationsFile) + ".tmp"));
    EXPECT_EQ(station_line(stations.places[1], "Quay, North\r\n"),
              "700.00,700.00,0.00,4,2,Quay North,\n");
}

}  // namespace
}  // namespace corvalen
