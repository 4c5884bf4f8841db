// The sample data the release ships (data/corvalen) as the plug-in reads it:
// loaded, then saved again through the editor menus, every file comes back
// byte for byte, so no line of it was dropped or misread.

#include <gtest/gtest.h>

#include <string>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

class SampleData : public PluginScenario {};

TEST_F(SampleData, EveryLineLoadsAndSavesBackUnchanged) {
    std::string timeline = play("sample_data.txt");
    EXPECT_TRUE(world().errors().empty());
    // The readable timeline names the menus' items and what the files hold.
    for (const char* told :
         {"menu \"Corvalen mod\": Real State Department, [Public Parking], Auto Service",
          "highlights \"Save Bus Stops\" in \"Bus Service\"",
          "wrote corvalen/bus_stops.csv: 11 bus stops, 3 way points, 1 capture point; 14 links",
          "wrote corvalen/house_db.csv: 4 houses, 2 hotels, 1 estate office"}) {
        EXPECT_NE(timeline.find(told), std::string::npos) << told << "\n" << timeline;
    }
    for (const char* name : {"bus_stops.csv", "boat_stops.csv", "ship_stops.csv",
                             "service_stations.csv", "pub_parking_lots.csv", "house_db.csv"}) {
        EXPECT_EQ(read_file(std::string("corvalen/") + name),
                  read_file(std::string(CORVALEN_SOURCE_DIR) + "/data/corvalen/" + name))
            << name << "\n"
            << timeline;
    }
}

}  // namespace
}  // namespace corvalen::test
