// The stand-in's snapshot of a frame: what it drew, who stands where, and the
// data files as they were when it was taken.

#include <gtest/gtest.h>

#include <algorithm>

#include "hostsim/snapshot.h"
#include "working_folder.h"

namespace hostsim {
namespace {

using corvalen::test::read_file;
using corvalen::test::write_file;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(SnapshotTest, HoldsTheFrameTheWorldAndTheDataFilesOfThatMoment) {
    corvalen::test::WorkingFolder working;
    write_file("corvalen/bus_stops.csv", "-200.00,35.00,5.00,270.00,0,0,-100,35,\r\nx\\y\n");
    write_file("corvalen/3/player_houses_db.dat", "-100,35,5\n");
    WorldSettings settings;
    settings.save_identity = 3;
    settings.parked_vehicles = false;
    World world(settings);
    Vehicle& car = world.add_vehicle(vehicle_models()[1].id, {-95.0f, 52.0f, 6.0f}, 90.0f);
    ASSERT_TRUE(world.enter_vehicle(world.player_character(), car.handle, kDriverSeat));
    world.blip(world.create_blip({1.0f, 2.0f, 3.0f}, car.handle))->name = "Parked car";
    world.begin_frame();
    world.set_text_scale(0.3f, 0.3f);
    world.set_text_colour({0, 87, 233, 255});
    world.draw_text(0.1f, 0.135f, "Add Bus Stop\nnow");
    DrawItem box{DrawKind::rectangle, 0.86f, 0.845f, 0.0f, 0.14f, 0.1f, {0, 0, 0, 64}, ""};
    world.draw(box);
    DrawItem marker{DrawKind::marker, -60.0f, 35.0f, 5.0f, 0.0f, 0.0f, {128, 0, 0, 128}, ""};
    world.draw(marker);
    world.end_frame();

    ASSERT_TRUE(write_snapshot(world, "corvalen", "frame.snap"));
    // The editor adds a stop after the picture was taken.
    write_file("corvalen/bus_stops.csv", "-20.00,35.00,5.00,270.00,0,0,0,0,\n");

    std::vector<std::string> lines = lines_of(read_file("frame.snap"));
    std::string coupe = std::to_string(car.handle) + " " + std::to_string(car.model);
    for (const std::string& expected : {
             std::string("frame 1"),
             std::string("cash 5000.00"),
             std::string("save 3"),
             "player -95.00 52.00 6.00 90.00 " + std::to_string(car.handle) + " -1",
             "vehicle " + coupe + " -95.00 52.00 6.00 90.00 " +
                 std::to_string(world.player_character()) + " Coupe",
             std::string("street -600.00 25.00 600.00 45.00 Harbour Road"),
             "blip " + std::to_string(world.blips().begin()->first) + " -95.00 52.00 6.00 " +
                 std::to_string(car.handle) + " 0 0 1.00 255 0 Parked car",
         }) {
        EXPECT_TRUE(has_line(lines, expected)) << expected;
    }
    // The screen in drawing order, then the stop file as it was.
    auto text = std::find(lines.begin(), lines.end(),
                          "text 0.1000 0.1350 0.3000 0.3000 0 87 233 255 Add Bus Stop\\nnow");
    ASSERT_NE(text, lines.end());
    ASSERT_EQ(lines.end() - text, 8);
    EXPECT_EQ(text[1], "rectangle 0.8600 0.8450 0.1400 0.1000 0 0 0 64");
    EXPECT_EQ(text[2], "marker -60.00 35.00 5.00 0.00 0.00 128 0 0 128");
    EXPECT_EQ(text[3], "file bus_stops.csv");
    EXPECT_EQ(text[4], "> -200.00,35.00,5.00,270.00,0,0,-100,35,\\r");
    EXPECT_EQ(text[5], "> x\\\\y");
    EXPECT_EQ(text[6], "file 3/player_houses_db.dat");
    EXPECT_EQ(text[7], "> -100,35,5");
}

TEST(SnapshotTest, ReportsAFileItCouldNotWrite) {
    corvalen::test::WorkingFolder working;
    World world;
    EXPECT_FALSE(write_snapshot(world, "corvalen", "no-such-folder/frame.snap"));
}

}  // namespace
}  // namespace hostsim
