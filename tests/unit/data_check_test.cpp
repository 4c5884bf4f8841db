// The modders' check of a data folder and its map: each kind of fault in a
// folder made for it, named with its file and line; the sample data the
// release ships checks clean.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "pictures/folder_map.h"
#include "tools/check/folder_check.h"
#include "tools/check/network_check.h"
#include "working_folder.h"

namespace check {
namespace {

struct Expected {
    const char* file;
    std::size_t line;
    const char* says;  // a part of the finding's text
};

void expect_findings(const Findings& found, const std::vector<Expected>& expected) {
    ASSERT_EQ(found.size(), expected.size()) << [&] {
        std::string all;
        for (const Finding& finding : found)
            all += describe(finding) + "\n";
        return all;
    }();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i].file, expected[i].file) << i;
        EXPECT_EQ(found[i].line, expected[i].line) << describe(found[i]);
        EXPECT_NE(found[i].text.find(expected[i].says), std::string::npos) << describe(found[i]);
    }
}

// tests/tool/faulty holds one of each fault, commented here by line.
TEST(DataCheckTest, EachFaultOfTheFolderIsNamedWithItsFileAndLine) {
    const std::vector<Expected> expected = {
        // A spawn spot's route over two way points that ends at line 3; line
        // 4 truncates to line 2's position; line 6 is a capture point linking
        // nowhere, line 7 a way point nothing leads to, line 9 a stop linking
        // to itself.
        {"bus_stops.csv", 3, "without a capture point"},
        {"bus_stops.csv", 4, "line 2 holds a point at the same whole metres (20, 10)"},
        {"bus_stops.csv", 5, "3 values, fewer than the 8"},
        {"bus_stops.csv", 6, "links to (99, 99), where no point stands"},
        {"bus_stops.csv", 7, "no vehicle reaches this point"},
        {"bus_stops.csv", 8, "y is no number"},
        {"bus_stops.csv", 9, "links to itself"},
        {"boat_stops.csv", 0, "no spawn spot"},
        // Line 2 is blank.
        {"ship_stops.csv", 3, "the route from line 1 ends here"},
        {"service_stations.csv", 2, "radius 0"},
        {"service_stations.csv", 3, "radius is no number"},
        {"fuel_data.csv", 3, "model is no number"},
        {"pub_parking_lots.csv", 1, "radius 0"},
        {"pub_parking_lots.csv", 2, "4 values, fewer than the 5"},
        {"house_db.csv", 2, "the key -30,110,6 is line 1's too"},
        {"house_db.csv", 3, "negative value"},
        // The first key is the house's; a "+" stands for ","; the third
        // names line 4 as it is written, before its x rounds to 11.00. The
        // backup folder beside the save is no save of its own.
        {"1/player_houses_db.dat", 2, "owns 999,999,6"},
        {"1/pub_parking_cars.csv", 1, "off the map at (5000.00, 10.00, 5.00)"},
        {"1/pub_parking_cars.csv", 2, "3 values, fewer than the 27"},
        {"1/house_cars.csv", 1, "model is no number"},
    };
    std::optional<Findings> found = check_folder(CORVALEN_SOURCE_DIR "/tests/tool/faulty");
    ASSERT_TRUE(found);
    expect_findings(*found, expected);
}

TEST(DataCheckTest, TheSampleDataChecksClean) {
    std::optional<Findings> found = check_folder(CORVALEN_SOURCE_DIR "/data/corvalen");
    ASSERT_TRUE(found);
    expect_findings(*found, {});
}

TEST(DataCheckTest, AFolderThatCannotBeReadIsNoCleanFolder) {
    corvalen::test::WorkingFolder folder;
    EXPECT_FALSE(check_folder("missing"));
    corvalen::test::write_file("plain", "a file, no folder");
    EXPECT_FALSE(check_folder("plain"));
    // A data file the plug-in cannot read is one it would not overwrite.
    std::filesystem::create_directories("corvalen/house_db.csv");
    std::optional<Findings> found = check_folder("corvalen");
    ASSERT_TRUE(found);
    expect_findings(*found, {{"house_db.csv", 0, "could not be read"}});
}

struct NetworkCase {
    const char* name;
    corvalen::ServiceMode mode;
    std::vector<std::string> lines;
    std::vector<Expected> expected;
};

TEST(DataCheckTest, RoutesAsTheVehiclesDriveThem) {
    using corvalen::ServiceMode;
    const std::vector<NetworkCase> cases = {
        {"a loop never runs out, with or without a stop on it",
         ServiceMode::Bus,
         {"10,10,0,0,1,0,20,10,", "20,10,0,0,2,0,10,10,"},
         {}},
        {"a wandering bus is caught by a stop at the route's end",
         ServiceMode::Bus,
         {"10,10,0,0,1,0,20,10,", "20,10,0,0,0,0,0,0,"},
         {}},
        {"points at (0, 0) are never duplicates; a link of x 0 is followed",
         ServiceMode::Bus,
         {"0.4,-0.3,0,0,1,0,0,5,", "-0.2,0.1,0,0,3,0,0,0,", "0.5,5.5,0,0,3,0,0,0,"},
         {}},
        {"boats are not caught back: a stop no spawn spot leads to is never reached",
         ServiceMode::Boat,
         {"10,10,0,0,1,0,20,10,", "20,10,0,0,0,0,10,10,", "90,90,0,0,0,0,0,0,"},
         {{"boat_stops.csv", 3, "no vehicle reaches"}}},
        {"a water network of points without a spawn spot says so once",
         ServiceMode::Ship,
         {"10,10,0,0,0,0,20,10,", "20,10,0,0,2,0,0,0,"},
         {{"ship_stops.csv", 0, "no spawn spot"}}},
    };
    for (const NetworkCase& test : cases) {
        SCOPED_TRACE(test.name);
        Findings found;
        check_network(test.mode, corvalen::stops_file_for(test.mode), test.lines, found);
        expect_findings(found, test.expected);
    }
}

// Spots at the far corners of a map land inside the picture and clear of
// the legend at its right.
TEST(DataCheckTest, TheMapFitsEverySpotBesideTheLegend) {
    std::optional<pictures::Font> font = pictures::Font::load(CORVALEN_PICTURE_FONT);
    ASSERT_TRUE(font);
    pictures::MapData map;
    map.lots = {{"", -3000.0f, 2000.0f, 5.0f, 8, 0}, {"", 3000.0f, -2000.0f, 5.0f, 8, 0}};
    constexpr int kWidth = 1600;
    constexpr int kLegendStrip = 280;
    pictures::Canvas canvas = pictures::draw_folder_map(map, *font, kWidth, 1000);
    const pictures::Rgba lot_badge{30, 80, 200, 255};
    // The legend, with a badge of its own, fills the strip's upper half.
    auto in_legend = [&](int x, int y) { return x >= kWidth - kLegendStrip && y < 500; };
    int leftmost = kWidth;
    int rightmost = -1;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!in_legend(x, y) && canvas.pixel(x, y) == lot_badge) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_LT(leftmost, 100);
    EXPECT_LT(rightmost, kWidth - kLegendStrip);
    EXPECT_GT(rightmost, kWidth - kLegendStrip - 100);
}

// The map owns the houses a save owns as the plug-in does: by key, or by
// the position as a hand-made line spells it.
TEST(DataCheckTest, TheMapOwnsTheHousesTheSaveOwns) {
    pictures::MapData map = pictures::read_map_data(
        pictures::folder_files(CORVALEN_SOURCE_DIR "/tests/tool/faulty"), "1");
    std::vector<std::string> owned;
    for (const corvalen::PropertyRecord& record : map.properties) {
        if (record.property.user_flag != 0)
            owned.push_back(record.property.label);
    }
    EXPECT_EQ(owned, (std::vector<std::string>{"-30,110,6", "11,200,6"}));
}

}  // namespace
}  // namespace check
