// The station file: which lines count, what is written back, and the
// stations' blips.

#include <gtest/gtest.h>

#include <filesystem>

#include "autoservice/service_manager.h"
#include "autoservice/station_file.h"
#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;
constexpr const char* kStationsFile = "corvalen/service_stations.csv";

class StationFileTest : public ::testing::Test {
  protected:
    void load(ServiceManager& stations) {
        game_frame([&] { stations.load_stations(); });
    }

    test::WorkingFolder folder;
};

// Loading again replaces the stations and their blips; a repair shop gets no
// blip without its setting.
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
    config.parse("blip_gas_station=true\n");
    ServiceManager stations(&config);
    std::size_t blips = game().world().blip_count();
    load(stations);
    host::Handle first = stations.places[1].blip;
    load(stations);
    // Each station as the file would have it, then its blip's style.
    std::vector<std::string> loaded;
    for (const Place& place : stations.places) {
        loaded.push_back(station_line(place, place.blip_name) + std::to_string(place.blip_sprite) +
                         " " + std::to_string(place.blip_colour) + " " +
                         std::to_string(place.blip_scale) + (place.blip != 0 ? " shown" : ""));
    }
    EXPECT_EQ(loaded,
              (std::vector<std::string>{"1.00,2.00,3.00,4,2,Auto Service,\n-1 11 0.500000",
                                        "-60.00,35.00,5.00,6,1,Gas Station,\n79 2 0.500000 shown",
                                        "10.00,20.00,5.00,7,3,,\n29 0 0.500000 shown"}));
    EXPECT_EQ(game().world().blip_count(), blips + 2);
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
    EXPECT_EQ(station_line(stations.places[1], "Quay, North\r\n"),
              "700.00,700.00,0.00,4,2,Quay North,\n");
}

}  // namespace
}  // namespace corvalen
