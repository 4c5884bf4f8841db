// What the release ships beside the DLL, read the way the plug-in reads it:
// the configuration file written from the settings table, and the sample data
// of data/corvalen (the packaging check makes sure the archive holds these
// very files).

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "autoservice/fuel_data.h"
#include "autoservice/station_file.h"
#include "core/config.h"
#include "core/csv.h"
#include "core/settings.h"
#include "parking/lot_file.h"
#include "realestate/property_file.h"
#include "transit/stop_file.h"

namespace corvalen {
namespace {

TEST(ShippedConfig, EveryKeyOfTheTableReadsAsItsDefault) {
    Config config(CORVALEN_SHIPPED_CONFIG);
    EXPECT_EQ(config.size(), kAllSettings.size()) << "a key the table does not know";
    for (const AnySetting& entry : kAllSettings) {
        std::visit(
            [&](const auto* setting) {
                ASSERT_NE(config.find(setting->key), nullptr) << setting->key;
                EXPECT_EQ(config.get(*setting), setting->fallback) << setting->key;
            },
            entry);
    }
}

// Per file, the kinds (route point types, station or property kinds) its
// records hold, when every line read as a record.
using KindsOfLines = std::function<std::multiset<int>(const std::vector<std::string>&)>;

template <typename Parse, typename KindOf>
KindsOfLines each_line(Parse parse, KindOf kind_of) {
    return [=](const std::vector<std::string>& lines) {
        std::multiset<int> kinds;
        for (const std::string& line : lines) {
            auto record = parse(line);
            if (record)
                kinds.insert(kind_of(*record));
        }
        return kinds;
    };
}

KindsOfLines stop_file() {
    return [](const std::vector<std::string>& lines) {
        std::multiset<int> kinds;
        for (const RoutePoint& point : parse_stop_lines(lines))
            kinds.insert(point.type);
        return kinds;
    };
}

TEST(SampleData, EveryFileLoadsWithoutASkippedLineAndHoldsEachKindOfPlace) {
    struct SampleFile {
        KindsOfLines read;
        std::set<int> kinds;  // each must appear at least once
    };
    const std::map<std::string, SampleFile> files = {
        {"bus_stops.csv", {stop_file(), {0, 2, 3}}},  // stops, way points, a capture point
        {"boat_stops.csv", {stop_file(), {0, 1}}},    // stops and spawn spots
        {"ship_stops.csv", {stop_file(), {0, 1}}},
        {"service_stations.csv",
         {each_line([](std::string_view l) { return parse_station_line(l); },
                    [](const Place& p) { return p.kind; }),
          {kGasStation, kRepairShop}}},
        {"pub_parking_lots.csv",
         {each_line([](std::string_view l) { return parse_lot_line(l); },
                    [](const GarageSpot&) { return 0; }),
          {0}}},
        {"house_db.csv",
         {each_line([](std::string_view l) { return parse_property_line(l); },
                    [](const PropertyRecord& r) { return r.property.kind; }),
          {kHouse, kHotel, kEstateOffice}}},
        {"fuel_data.csv",
         {each_line([](std::string_view l) { return parse_fuel_line(l); },
                    [](const FuelSpec&) { return 0; }),
          {0}}},
    };
    const std::filesystem::path folder =
        std::filesystem::path(CORVALEN_SOURCE_DIR) / "data/corvalen";
    std::set<std::string> seen;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        std::string name = item.path().filename().string();
        if (name == "corvalen.conf")
            continue;  // the demo's own settings; the release ships the table's
        seen.insert(name);
        auto file = files.find(name);
        ASSERT_NE(file, files.end()) << name << ": a sample file no reader here knows";
        std::vector<std::string> lines = read_lines(item.path());
        std::multiset<int> kinds = file->second.read(lines);
        EXPECT_EQ(kinds.size(), lines.size()) << name << ": lines skipped";
        for (int kind : file->second.kinds)
            EXPECT_TRUE(kinds.count(kind) != 0) << name << " holds no record of kind " << kind;
    }
    EXPECT_EQ(seen.size(), files.size()) << "a sample file is missing";
}

}  // namespace
}  // namespace corvalen
