// The sample data the release ships (data/corvalen) as the plug-in reads it:
// loaded, then saved again through the editor menus, every file comes back
// byte for byte, so no line of it was dropped or misread.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "hostsim/script_runner.h"
#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

class SampleData : public PluginScenario {};

TEST_F(SampleData, EveryLineLoadsAndSavesBackUnchanged) {
    hostsim::Script script = hostsim::read_script(std::string(CORVALEN_SOURCE_DIR) +
                                                  "/tests/scenario/scripts/sample_data.txt");
    ASSERT_TRUE(script.errors.empty()) << script.errors.front();
    game = std::make_unique<hostsim::Host>(hostsim::boot_options(hostsim::Build::v1070));
    std::ostringstream timeline;
    std::ostringstream failures;
    hostsim::ScriptRun run =
        hostsim::run_script(*game, script, CORVALEN_PLUGIN_PATH, "", timeline, failures);
    ASSERT_TRUE(run.plugin_loaded) << run.load_error;
    EXPECT_TRUE(run.failures.empty()) << failures.str();
    EXPECT_TRUE(world().errors().empty());
    // The readable timeline names the menus' items and what the files hold.
    for (const char* told :
         {"menu \"Corvalen mod\": Real State Department, [Public Parking], Auto Service",
          "highlights \"Save Bus Stops\" in \"Bus Service\"",
          "wrote corvalen/bus_stops.csv: 11 bus stops, 3 way points, 1 capture point; 14 links",
          "wrote corvalen/house_db.csv: 4 houses, 2 hotels, 1 estate office"}) {
        EXPECT_NE(timeline.str().find(told), std::string::npos) << told << "\n" << timeline.str();
    }
    for (const char* name : {"bus_stops.csv", "boat_stops.csv", "ship_stops.csv",
                             "service_stations.csv", "pub_parking_lots.csv", "house_db.csv"}) {
        EXPECT_EQ(read_file(std::string("corvalen/") + name),
                  read_file(std::string(CORVALEN_SOURCE_DIR) + "/data/corvalen/" + name))
            << name << "\n"
            << timeline.str();
    }
}

}  // namespace
}  // namespace corvalen::test
