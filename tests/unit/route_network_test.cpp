// A transit service's route network: the stop file, points placed at the
// player, connections by position, and the searches.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "transit_fixture.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

constexpr const char* kStops = "corvalen/bus_stops.csv";

RoutePoint point_at(float x, float y, RoutePointType type = RoutePointType::BusStop,
                    float heading = 0.0f) {
    RoutePoint point;
    point.x = x;
    point.y = y;
    point.z = 5.0f;
    point.heading = heading;
    point.type = static_cast<std::int32_t>(type);
    return point;
}

class RouteNetworkTest : public test::TransitTest {
  protected:
    // A bus service whose stop file holds `text`.
    TransitService& bus_with(const std::string& text) {
        test::write_file(kStops, text);
        service.emplace(ServiceMode::Bus, nullptr);
        return *service;
    }
};

TEST_F(RouteNetworkTest, TheStopFileRoundTripsByteForByte) {
    const std::string text =
        "-1234.56,410.00,14.25,90.00,0,0,-1190,402,\n"
        "-1190.99,402.50,14.00,180.00,2,1,0,0,\n"
        "0.40,-0.30,0.00,0.00,4,0,-1234,410,\n";
    TransitService& bus = bus_with(text);
    ASSERT_EQ(bus.points.size(), 3u);
    EXPECT_FLOAT_EQ(bus.points[0].heading, 90.0f);
    EXPECT_EQ(bus.points[0].link_y, 402);
    EXPECT_TRUE(bus.points[1].backwards);

    std::filesystem::remove(kStops);
    ASSERT_TRUE(bus.save_points());
    EXPECT_EQ(test::read_file(kStops), text);
}

TEST_F(RouteNetworkTest, CarriageReturnsFallIntoTheIgnoredNinthField) {
    TransitService& bus =
        bus_with("10.00,20.00,5.00,45.00,3,0,30,40,\r\n30.50,40.25,5.00,0.00,0,0,0,0,extra,\r\n");
    ASSERT_EQ(bus.points.size(), 2u);
    EXPECT_TRUE(bus.points[0].is(RoutePointType::CapturePoint));
    EXPECT_EQ(bus.next_point(0), 1);
    bus.save_points();
    EXPECT_EQ(test::read_file(kStops),
              "10.00,20.00,5.00,45.00,3,0,30,40,\n30.50,40.25,5.00,0.00,0,0,0,0,\n");
}

TEST_F(RouteNetworkTest, LaterLinesAtATakenWholeMetrePositionAreDropped) {
    TransitService& bus = bus_with(
        "12.99,5.50,1,0,0,0,0,0,\n"
        "12.01,5.20,2,0,0,0,0,0,\n"  // truncates to (12, 5) as well
        "-12.5,5.9,3,0,0,0,0,0,\n"   // (-12, 5): another place
        "0.40,-0.30,4,0,0,0,0,0,\n"  // (0, 0) never counts as taken
        "-0.20,0.90,5,0,0,0,0,0,\n"
        "0.90,0.10,6,0,0,0,0,0,\n");
    std::vector<float> heights;
    for (const RoutePoint& point : bus.points)
        heights.push_back(point.z);
    EXPECT_EQ(heights, (std::vector<float>{1, 3, 4, 5, 6}));
}

TEST_F(RouteNetworkTest, AMalformedLineIsSkippedAndTheNextOneLoads) {
    const char* bad[] = {
        "abc,1.00,1.00,0.00,0,0,0,0,",
        "1.00,1.00,1.00,0.00,x,0,0,0,",
        "1.00,1.00,1.00,0.00,0,0,3000000000,0,",
        "1.00,1.00,1.00,0.00,0,0,0,-3000000000,",
        "3000000000,1.00,1.00,0.00,0,0,0,0,",
        "1.00,1.00,1e39,0.00,0,0,0,0,",
        "1.00,1.00,1.00,nan,0,0,0,0,",
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

TEST_F(RouteNetworkTest, LoadedPointsGetAScatteredSpawnTimeThatAResetClears) {
    std::string text;
    for (int i = 1; i <= 40; ++i)
        text += std::to_string(i * 10) + ".00,0.00,5.00,0.00,0,0,0,0,\n";
    TransitService& bus = bus_with(text);
    std::set<std::uint32_t> seen;
    for (const RoutePoint& point : bus.points) {
        EXPECT_LE(point.last_spawn, 99u);
        seen.insert(point.last_spawn);
    }
    EXPECT_GT(seen.size(), 10u) << "spread, so that loaded points do not tie";

    bus.points[3].spawned = true;
    game_frame([&] { bus.reset_spawning(); });
    for (const RoutePoint& point : bus.points) {
        EXPECT_EQ(point.last_spawn, 0u);
        EXPECT_FALSE(point.spawned);
    }
    EXPECT_EQ(bus.next_spawn_time, game().world().game_timer() + 20000);
}

TEST_F(RouteNetworkTest, AFailedSaveKeepsTheOldFileWhole) {
    TransitService& bus = bus_with("1.00,2.00,3.00,0.00,0,0,0,0,\n");
    bus.points.push_back(point_at(50.0f, 60.0f));
    std::filesystem::create_directories(std::string(kStops) + ".tmp");  // blocks the new copy
    EXPECT_FALSE(bus.save_points());
    EXPECT_EQ(test::read_file(kStops), "1.00,2.00,3.00,0.00,0,0,0,0,\n");
}

TEST_F(RouteNetworkTest, ConnectionsFollowPositionsNotIndices) {
    // The source links with one zero value: followed all the same.
    TransitService& bus = bus_with(
        "-50.00,402.70,5.00,0.00,0,0,0,402,\n"
        "0.70,402.10,5.00,0.00,2,0,0,0,\n");
    EXPECT_EQ(bus.next_point(0), 1);
    EXPECT_EQ(bus.next_point(1), -1) << "no link";
    EXPECT_EQ(bus.next_point(7), -1) << "no such point";
    EXPECT_EQ(bus.find_by_link(0, 0), -1);

    bus.points.erase(bus.points.begin() + 1);
    EXPECT_EQ(bus.next_point(0), -1) << "the target is gone";

    game().teleport_player({0.2f, 402.9f, 6.0f});
    bool added = false;
    game_frame([&] { added = bus.add_point(RoutePointType::CapturePoint); });
    ASSERT_TRUE(added);
    EXPECT_EQ(bus.next_point(0), 1) << "a point at the same whole metres takes the link back";
    EXPECT_TRUE(bus.points[1].is(RoutePointType::CapturePoint));
    EXPECT_EQ(test::read_file(kStops),
              "-50.00,402.70,5.00,0.00,0,0,0,402,\n0.20,402.90,6.00,0.00,3,0,0,0,\n");
}

TEST_F(RouteNetworkTest, APointIsPlacedAtThePlayerFacingHisWayOnceAtEachPlace) {
    TransitService& bus = bus_with("");
    game().world().player().object.set_heading(135.0f);
    game().teleport_player({20.6f, -30.2f, 6.5f});
    bool first = false;
    bool again = true;
    hostsim::DrawRecord draws = game_frame([&] {
        first = bus.add_point(RoutePointType::WayPoint);
        game().world().player().object.set_position({20.1f, -30.9f, 6.5f});
        again = bus.add_point(RoutePointType::BusStop);
        bus.status.draw();
    });
    EXPECT_TRUE(first);
    EXPECT_FALSE(again) << "the next load would drop it";
    ASSERT_EQ(bus.points.size(), 1u);
    EXPECT_FLOAT_EQ(bus.points[0].heading, 135.0f);
    EXPECT_EQ(bus.points[0].last_spawn, 0u);
    EXPECT_TRUE(test::texts_of(draws).empty()) << "failures are silent";
    EXPECT_EQ(test::read_file(kStops), "20.60,-30.20,6.50,135.00,2,0,0,0,\n");

    // Around the origin every point may stand.
    game().teleport_player({0.3f, 0.4f, 6.0f});
    game_frame([&] {
        EXPECT_TRUE(bus.add_point(RoutePointType::BusStop));
        EXPECT_TRUE(bus.add_point(RoutePointType::BusStop));
    });
    EXPECT_EQ(bus.points.size(), 3u);
}

TEST_F(RouteNetworkTest, NearestPointCountsEveryTypeAndKeepsTheFirstOfEqualOnes) {
    TransitService& bus = bus_with("");
    game_frame([&] { EXPECT_EQ(bus.nearest_point(0.0f, 0.0f), -1); });
    bus.points = {point_at(10, 0), point_at(0, 5, RoutePointType::WayPoint), point_at(-5, 0),
                  point_at(0, -5)};
    game_frame([&] {
        EXPECT_EQ(bus.nearest_point(0.0f, 0.0f), 1);
        EXPECT_EQ(bus.nearest_point(9.0f, 1.0f), 0);
    });
}

class CaptureSearchTest : public RouteNetworkTest {
  protected:
    std::int32_t search(TransitService& bus, host::Vec3 at, float heading,
                        const std::set<std::int32_t>& excluded = {}) {
        std::int32_t found = -2;
        game_frame(
            [&] { found = bus.nearest_capturable(at, heading, 50.0f, excluded, &distance); });
        return found;
    }
    float distance = 0.0f;
};

TEST_F(CaptureSearchTest, OnlyStopsAndCapturePointsInsideTheSquare) {
    TransitService& bus = bus_with("");
    EXPECT_EQ(search(bus, {}, 0.0f), -1);
    EXPECT_EQ(distance, std::numeric_limits<float>::infinity());

    bus.points = {point_at(230, 230),
                  point_at(231, 0),
                  point_at(0, -231),
                  point_at(5, 5, RoutePointType::WayPoint),
                  point_at(6, 6, RoutePointType::SpawnSpot),
                  point_at(7, 7, static_cast<RoutePointType>(4))};
    EXPECT_EQ(search(bus, {}, 0.0f), 0) << "the square's corner is in, 231 m is out";
    EXPECT_NEAR(distance, 325.27f, 0.01f);

    bus.points.push_back(point_at(-100, 0, RoutePointType::CapturePoint));
    EXPECT_EQ(search(bus, {}, 0.0f), 6);
    EXPECT_EQ(search(bus, {}, 0.0f, {6}), 0) << "excluded";
    EXPECT_EQ(search(bus, {}, 0.0f, {0, 6}), -1);

    TransitService boat(ServiceMode::Boat, nullptr);
    boat.points = {point_at(350, -350), point_at(351, 0)};
    EXPECT_EQ(search(boat, {}, 0.0f), 0) << "boats search 350 m";
}

TEST_F(CaptureSearchTest, AHeadingKeepsPointsFacingTheSameWay) {
    TransitService& bus = bus_with("");
    bus.points = {point_at(10, 0, RoutePointType::BusStop, 20.0f)};
    struct Case {
        float heading;
        float point_heading;
        bool taken;
    };
    const Case cases[] = {
        {350.0f, 20.0f, true}, {90.0f, 150.0f, false}, {90.0f, 139.0f, true},
        {-1.0f, 200.0f, true}, {0.0f, 180.0f, true},   {10.0f, 300.0f, false},
    };
    for (const Case& c : cases) {
        bus.points[0].heading = c.point_heading;
        EXPECT_EQ(search(bus, {}, c.heading) == 0, c.taken)
            << c.heading << " against " << c.point_heading;
    }
}

}  // namespace
}  // namespace corvalen
