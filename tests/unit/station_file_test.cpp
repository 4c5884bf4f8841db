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

TEST(StationLineTest, FiveNumbersMakeAStationAndAnythingLessNone) {
    struct Case {
        const char* line;
        bool loads;
        std::int32_t radius;
        std::int32_t kind;
    };
    const Case cases[] = {
        {"1.00,2.00,3.00,4,2,", true, 4, 2},
        {"1.00,2.00,3.00,4,2,Harbour Road,", true, 4, 2},
        {"1,2,3,7.9,3,extra,fields,", true, 7, 3},
        {"1.00,2.00,3.00,4,", false, 0, 0},
        {"x,2.00,3.00,4,1,", false, 0, 0},
        {"1.00,2.00,3.00,4,gas,", false, 0, 0},
        {"1.00,2.00,nan,4,1,", false, 0, 0},
        {"1.00,2.00,3.00,99999999999,1,", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::optional<Place> station = parse_station_line(c.line);
        ASSERT_EQ(station.has_value(), c.loads);
        if (!station)
            continue;
        EXPECT_EQ(station->x, 1.0f);
        EXPECT_EQ(station->y, 2.0f);
        EXPECT_EQ(station->z, 3.0f);
        EXPECT_EQ(station->radius, c.radius);
        EXPECT_EQ(station->kind, c.kind);
        EXPECT_TRUE(station->enabled);
        EXPECT_TRUE(station->show_marker);
    }
}

TEST(StationLineTest, TheStreetNameStaysOneField) {
    Place station(6, kGasStation, -60.004f, 35.5f, 5.0f);
    EXPECT_EQ(station_line(station, "Harbour Road"), "-60.00,35.50,5.00,6,1,Harbour Road,\n");
    EXPECT_EQ(station_line(station, ""), "-60.00,35.50,5.00,6,1,,\n");
    EXPECT_EQ(station_line(station, "Quay, North\r\n"), "-60.00,35.50,5.00,6,1,Quay North,\n");
}

TEST(FuelLineTest, ModelsReadTheirTankAndMileage) {
    struct Case {
        const char* line;
        bool loads;
        std::uint32_t model;
        std::int32_t tank;
        float km_per_litre;
    };
    const Case cases[] = {
        {"Estate,2317106693,60,10.5,7,", true, 2317106693u, 60, 10.5f},
        {"Estate,-1977860603,60,10.5,0,", true, 2317106693u, 60, 10.5f},
        {"Dry,5,0,10,0,", true, 5, 50, 10.0f},      // no tank: the default one
        {"Minus,5,-20,10,0,", true, 5, 50, 10.0f},  // likewise
        {"Still,5,40,0,0,", true, 5, 40, 0.0f},
        {"Van,van,60,10.5,0,", false, 0, 0, 0},
        {"Van,1,60,fast,0,", false, 0, 0, 0},
        {"Van,1,60,10.5,", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::optional<FuelSpec> spec = parse_fuel_line(c.line);
        ASSERT_EQ(spec.has_value(), c.loads);
        if (!spec)
            continue;
        EXPECT_EQ(spec->model, c.model);
        EXPECT_EQ(spec->tank, c.tank);
        EXPECT_EQ(spec->km_per_litre, c.km_per_litre);
    }
}

TEST(FuelLineTest, LaterRowsReplaceEarlierOnesAndBadRowsAreSkipped) {
    test::WorkingFolder folder;
    EXPECT_TRUE(read_fuel_data("corvalen/fuel_data.csv").empty());
    test::write_file("corvalen/fuel_data.csv",
                     "Estate,100,60,10.5,0,\r\nname,model,tank,km,extra,\nCoupe,200,45,14,0,\n"
                     "Estate,100,70,9,1,\n");
    FuelSpecs specs = read_fuel_data("corvalen/fuel_data.csv");
    ASSERT_EQ(specs.size(), 2u);
    EXPECT_EQ(specs.at(100).name, "Estate");
    EXPECT_EQ(specs.at(100).tank, 70);
    EXPECT_EQ(specs.at(100).spec_extra, 1);
    EXPECT_EQ(specs.at(200).km_per_litre, 14.0f);
}

class StationFileTest : public ::testing::Test {
  protected:
    void SetUp() override { config.parse("blip_gas_station=true\nblip_car_service=true\n"); }

    void load(ServiceManager& stations) {
        game_frame([&] { stations.load_stations(); });
    }

    test::WorkingFolder folder;
    Config config;
};

TEST_F(StationFileTest, BadLinesAreSkippedAndLaterStationsStillLoad) {
    test::write_file("corvalen/service_stations.csv",
                     "1.00,2.00,3.00,4,2,\nx,2,3,4,1,\n5,6,7,8,\n-60.00,35.00,5.00,6,1,Harbour "
                     "Road,\n10,20,5,3,3,\n");
    ServiceManager stations(&config);
    std::size_t blips = game().world().blip_count();
    load(stations);
    ASSERT_EQ(stations.places.size(), 3u);
    EXPECT_EQ(stations.places[0].kind, kRepairShop);
    EXPECT_EQ(stations.places[0].radius, 4);
    EXPECT_EQ(stations.places[1].kind, kGasStation);
    EXPECT_EQ(stations.places[2].kind, 3);
    EXPECT_EQ(game().world().blip_count(), blips + 3);

    struct Style {
        std::int32_t sprite;
        std::int32_t colour;
        const char* name;
    };
    const Style styles[] = {{79, 11, "Auto Service"}, {79, 2, "Gas Station"}, {29, 0, ""}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const hostsim::Blip* blip =
            game().world().blip(static_cast<std::int32_t>(stations.places[i].blip));
        ASSERT_NE(blip, nullptr);
        EXPECT_EQ(blip->sprite, styles[i].sprite);
        EXPECT_EQ(blip->colour, styles[i].colour);
        EXPECT_EQ(blip->name, styles[i].name);
        EXPECT_EQ(blip->scale, 0.5f);
        EXPECT_EQ(blip->display, 4);
    }
}

TEST_F(StationFileTest, WithoutTheBlipSettingsStationsHaveNoBlips) {
    test::write_file("corvalen/service_stations.csv", "1,2,3,4,1,\n5,6,7,8,2,\n");
    ServiceManager stations(nullptr);
    std::size_t blips = game().world().blip_count();
    load(stations);
    ASSERT_EQ(stations.places.size(), 2u);
    EXPECT_EQ(game().world().blip_count(), blips);
    EXPECT_EQ(stations.places[0].blip_sprite, -1);
    EXPECT_EQ(stations.places[1].blip_sprite, -1);
}

TEST_F(StationFileTest, LoadingAgainReplacesTheStationsAndTheirBlips) {
    test::write_file("corvalen/service_stations.csv", "1,2,3,4,1,\n5,6,7,8,2,\n");
    ServiceManager stations(&config);
    std::size_t blips = game().world().blip_count();
    load(stations);
    host::Handle first = stations.places[0].blip;
    load(stations);
    EXPECT_EQ(stations.places.size(), 2u);
    EXPECT_EQ(game().world().blip_count(), blips + 2);
    EXPECT_EQ(game().world().blip(static_cast<std::int32_t>(first)), nullptr);

    std::filesystem::remove("corvalen/service_stations.csv");
    load(stations);
    EXPECT_TRUE(stations.places.empty());
    EXPECT_EQ(game().world().blip_count(), blips);
    EXPECT_TRUE(game().world().errors().empty()) << game().world().errors().front().text;
}

TEST_F(StationFileTest, SavingWritesEachStationWithItsStreet) {
    ServiceManager stations(&config);
    stations.places.emplace_back(6, kGasStation, -120.0f, 35.0f, 5.0f);  // Harbour Road
    stations.places.emplace_back(4, kRepairShop, 700.0f, 700.0f, 0.0f);  // no street there
    bool saved = false;
    game_frame([&] { saved = stations.save_stations(); });
    ASSERT_TRUE(saved);
    EXPECT_EQ(test::read_file("corvalen/service_stations.csv"),
              "-120.00,35.00,5.00,6,1,Harbour Road,\n700.00,700.00,0.00,4,2,,\n");
    EXPECT_FALSE(std::filesystem::exists("corvalen/service_stations.csv.tmp"));

    // What was saved loads back as it was.
    ServiceManager loaded(nullptr);
    load(loaded);
    ASSERT_EQ(loaded.places.size(), 2u);
    EXPECT_EQ(loaded.places[1].x, 700.0f);
    EXPECT_EQ(loaded.places[1].radius, 4);
    EXPECT_EQ(loaded.places[1].kind, kRepairShop);
}

}  // namespace
}  // namespace corvalen
