// A transit service's route network: the stop file, points placed at the
// player, connections by position, and the searches.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <tuple>

#include "file_faults.h"
#include "transit_fixture.h"

namespace corvalen::test {
namespace {

constexpr const char* kStops = "corvalen/bus_stops.csv";

class RouteNetworkTest : public TransitTest {
  protected:
    // A bus service whose stop file holds `text`.
    TransitService& bus_with(const std::string& text) {
        write_file(kStops, text);
        return service.emplace(ServiceMode::Bus, nullptr);
    }
    std::int32_t search(host::Vec3 at, float heading, std::vector<std::int32_t> excluded = {}) {
        std::int32_t found = -2;
        game_frame(
            [&] { found = service->nearest_capturable(at, heading, 50, excluded, &distance); });
        return found;
    }
    float distance = 0.0f;
};

TEST_F(RouteNetworkTest, TheStopFileRoundTripsWithTwoDecimalsAndEndsInLineFeeds) {
    const std::string text =
        "-1234.56,410.00,14.25,90.00,0,0,-1190,402,\n"
        "-1190.99,402.50,14.00,180.00,2,1,0,0,\n"
        "0.40,-0.30,0.00,0.00,4,0,-1234,410,\n";
    TransitService& bus = bus_with(text);
    ASSERT_EQ(bus.points.size(), 3u);
    EXPECT_EQ(bus.points[0].link_x, -1190);
    EXPECT_EQ(bus.points[0].link_y, 402);
    EXPECT_TRUE(bus.points[1].backwards);
    EXPECT_TRUE(bus.points[1].is(RoutePointType::WayPoint));
    std::filesystem::remove(kStops);
    ASSERT_TRUE(bus.save_points());
    EXPECT_EQ(read_file(kStops), text);

    // A carriage return falls into the ignored ninth field.
    bus_with("10.004,20.00,5.00,45.00,3,0,30,40,\r\n30.50,40.25,5.00,0.00,0,0,0,0,extra,\r\n");
    EXPECT_EQ(service->next_point(0), 1);
    service->save_points();
    EXPECT_EQ(read_file(kStops),
              "10.00,20.00,5.00,45.00,3,0,30,40,\n30.50,40.25,5.00,0.00,0,0,0,0,\n");
}

TEST_F(RouteNetworkTest, LaterLinesAtATakenWholeMetrePositionAreSetAside) {
    TransitService& bus = bus_with(
        "12.99,5.50,1,0,0,0,-12,5,\n"
        "12.01,5.20,2,0,0,0,0,0,\n"  // truncates to (12, 5) as well
        "-12.5,5.9,3,0,0,0,0,0,\n"   // (-12, 5): another place
        "0.40,-0.30,4,0,0,0,0,0,\n"  // (0, 0) never counts as taken
        "-0.20,0.90,5,0,0,0,0,0,\n"
        "0.90,0.10,6,0,0,0,0,0,\n"
        "1e3,7.50,7,0,0,0,0,0,\n"  // (1000, 7), as the save writes it
        "1000.50,7.00,8,0,0,0,0,0,\n");
    std::vector<float> heights;
    for (const RoutePoint& point : bus.points)
        heights.push_back(point.z);
    EXPECT_EQ(heights, (std::vector<float>{1, 3, 4, 5, 6, 7}));
    EXPECT_EQ(bus.kept_lines,
              (std::vector<std::string>{"12.01,5.20,2,0,0,0,0,0,", "1000.50,7.00,8,0,0,0,0,0,"}));
    EXPECT_EQ(bus.next_point(0), 1) << "a link names a point, not the line it came from";
}

// A stop file whose reading fails part way is not loaded in part.
TEST_F(RouteNetworkTest, AStopFileThatFailsPartWayLoadsNothing) {
    TransitService& bus = bus_with("1.00,2.00,3.00,0.00,0,0,0,0,\nshort,\n");
    test::watch_files(0);
    ASSERT_TRUE(bus.load_points());
    const int operations = test::stop_watching_files().operations;
    int failed = 0;
    for (int n = 1; n <= operations; ++n) {
        test::watch_files(n);
        bool loaded = bus.load_points();
        test::stop_watching_files();
        if (loaded)
            continue;  // a failed close loses nothing
        ++failed;
        EXPECT_TRUE(bus.points.empty()) << n;
        EXPECT_TRUE(bus.kept_lines.empty()) << n;
    }
    EXPECT_GE(failed, 2) << "the opening and the reads";
}

TEST_F(RouteNetworkTest, AMalformedLineIsSkippedAndTheNextOneLoads) {
    const char* bad[] = {
        "abc,1.00,1.00,0.00,0,0,0,0,",
        "1.00,1.00,1.00,0.00,x,0,0,0,",
        "1.00,1.00,1.00,0.00,0,0,3000000000,0,",
        "3000000000,1.00,1.00,0.00,0,0,0,0,",
        "1.00,-3e9,1.00,0.00,0,0,0,0,",
        "1.00,1.00,1e39,0.00,0,0,0,0,",
        "1.00,1.00,1.00,0.00,0,0,0",
        "",
        "\xff\xfe,\x01,,,,,,,,,",
    };
    for (const char* line : bad) {
        TransitService& bus = bus_with(std::string(line) + "\n7.00,8.00,9.00,0.00,0,0,0,0,\n");
        ASSERT_EQ(bus.points.size(), 1u) << line;
        EXPECT_FLOAT_EQ(bus.points[0].x, 7.0f) << line;
    }
}

TEST_F(RouteNetworkTest, AFailedSaveKeepsTheOldFileWhole) {
    TransitService& bus = bus_with("1.00,2.00,3.00,0.00,0,0,0,0,\n");
    bus.points.push_back(point_at(50.0f, 60.0f));
    std::filesystem::create_directories(std::string(kStops) + ".tmp");  // blocks the new copy
    EXPECT_FALSE(bus.save_points());
    EXPECT_EQ(read_file(kStops), "1.00,2.00,3.00,0.00,0,0,0,0,\n");
}

TEST_F(RouteNetworkTest, ConnectionsFollowPositionsNotIndices) {
    // The source links with one zero value: followed all the same. The way
    // point links to itself (Y pressed without moving): that leads nowhere.
    TransitService& bus = bus_with(
        "-50.00,402.70,5.00,0.00,0,0,0,402,\n"
        "0.70,402.10,5.00,0.00,2,0,0,402,\n");
    EXPECT_EQ(bus.next_point(0), 1);
    EXPECT_EQ(bus.next_point(1), -1);
    EXPECT_EQ(bus.next_point(7), -1) << "no such point";
    EXPECT_EQ(bus.find_by_link(0, 0), -1);

    bus.points.erase(bus.points.begin() + 1);
    EXPECT_EQ(bus.next_point(0), -1) << "the target is gone";
    game().teleport_player({0.2f, 402.9f, 6.0f});
    game_frame([&] { EXPECT_TRUE(bus.add_point(RoutePointType::CapturePoint)); });
    EXPECT_EQ(bus.next_point(0), 1) << "a point at the same whole metres takes the link back";
    EXPECT_EQ(read_file(kStops),
              "-50.00,402.70,5.00,0.00,0,0,0,402,\n0.20,402.90,6.00,0.00,3,0,0,0,\n");
}

TEST_F(RouteNetworkTest, APointIsPlacedAtThePlayerFacingHisWayOnceAtEachPlace) {
    TransitService& bus = bus_with("");
    constexpr RoutePointType kBusStop = RoutePointType::BusStop;
    game().world().player().object.set_heading(135.0f);
    game().teleport_player({20.6f, -30.2f, 6.5f});
    hostsim::DrawRecord draws = game_frame([&] {
        EXPECT_TRUE(bus.add_point(RoutePointType::WayPoint));
        game().world().player().object.set_position({20.1f, -30.9f, 6.5f});
        EXPECT_FALSE(bus.add_point(kBusStop)) << "the next load would drop it";
        bus.status.draw();
    });
    EXPECT_TRUE(texts_of(draws).empty()) << "failures are silent";
    EXPECT_EQ(read_file(kStops), "20.60,-30.20,6.50,135.00,2,0,0,0,\n");
    game().teleport_player({0.3f, 0.4f, 6.0f});  // around the origin every point may stand
    game_frame([&] { EXPECT_TRUE(bus.add_point(kBusStop) && bus.add_point(kBusStop)); });
}

TEST_F(RouteNetworkTest, NearestPointCountsEveryTypeAndKeepsTheFirstOfEqualOnes) {
    TransitService& bus = bus_with("");
    game_frame([&] { EXPECT_EQ(bus.nearest_point(0.0f, 0.0f), -1); });
    bus.points = {point_at(10, 0), point_at(0, 5, RoutePointType::WayPoint), point_at(-5, 0)};
    game_frame([&] {
        EXPECT_EQ(bus.nearest_point(0.0f, 0.0f), 1);
        EXPECT_EQ(bus.nearest_point(9.0f, 1.0f), 0);
    });
}

TEST_F(RouteNetworkTest, OnlyStopsAndCapturePointsInsideTheSquareAreCapturable) {
    TransitService& bus = bus_with("");
    EXPECT_EQ(search({}, 0.0f), -1);
    EXPECT_EQ(distance, std::numeric_limits<float>::infinity());
    bus.points = {point_at(230, 230),
                  point_at(231, 0),
                  point_at(0, -231),
                  point_at(5, 5, RoutePointType::WayPoint),
                  point_at(6, 6, RoutePointType::SpawnSpot),
                  point_at(7, 7, static_cast<RoutePointType>(4)),
                  point_at(-100, 0, RoutePointType::CapturePoint)};
    EXPECT_EQ(search({}, 0.0f), 6);
    EXPECT_EQ(search({}, 0.0f, {6}), 0) << "the square's corner is in, 231 m is out";
    EXPECT_NEAR(distance, 325.27f, 0.01f);
    EXPECT_EQ(search({}, 0.0f, {0, 6}), -1);
}

TEST_F(RouteNetworkTest, AHeadingKeepsCapturablePointsFacingTheSameWay) {
    bus_with("").points = {point_at(10, 0)};
    // Heading, the point's heading, whether it is taken.
    const std::tuple<float, float, bool> cases[] = {
        {350.0f, 20.0f, true}, {90.0f, 140.0f, false}, {90.0f, 139.0f, true},
        {-1.0f, 200.0f, true}, {0.0f, 180.0f, true},   {10.0f, 300.0f, false},
    };
    for (auto [heading, point_heading, taken] : cases) {
        service->points[0].heading = point_heading;
        EXPECT_EQ(search({}, heading) == 0, taken) << heading << " against " << point_heading;
    }
}

}  // namespace
}  // namespace corvalen::test
