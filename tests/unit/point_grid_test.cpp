// The searches that go through the point grid must answer exactly as a scan of
// every point by the host's distances: random networks with many equal
// distances, points beyond the grid and positions with no number.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "core/geometry.h"
#include "transit_fixture.h"

namespace corvalen::test {
namespace {

constexpr float kNoNumber = std::numeric_limits<float>::quiet_NaN();

// The first of the nearest among the points `takes` lets in, by the host;
// with `first_rule` the first point is taken whatever its distance.
template <typename Takes>
std::int32_t first_nearest(const std::vector<RoutePoint>& points, float x, float y, bool first_rule,
                           Takes takes) {
    std::int32_t nearest = -1;
    float best = std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!takes(points[i]))
            continue;
        float d = host::distance_2d(x, y, points[i].x, points[i].y);
        if (d < best || (first_rule && i == 0)) {
            best = d;
            nearest = static_cast<std::int32_t>(i);
        }
    }
    return nearest;
}

// The point a fresh network spawns at: in the ring by the host's distance,
// the lowest loaded spread, the first of equal ones.
std::int32_t first_to_spawn(const std::vector<RoutePoint>& points, host::Vec3 at, float nearest,
                            float farthest) {
    std::int32_t chosen = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        float d = host::distance_2d(at.x, at.y, points[i].x, points[i].y);
        if (!(nearest <= d && d <= farthest))
            continue;
        if (chosen < 0 ||
            points[i].last_spawn < points[static_cast<std::size_t>(chosen)].last_spawn)
            chosen = static_cast<std::int32_t>(i);
    }
    return chosen;
}

struct World {
    const char* name;
    unsigned seed;
    int points;
    float side;       // of the square the points lie in
    float step;       // positions are multiples of it: many equal distances
    bool odd_points;  // some with no number or far beyond the others
};

class PointGridTest : public TransitTest {};

TEST_F(PointGridTest, SearchesAnswerAsAScanOfEveryPoint) {
    const World worlds[] = {
        {"dense lattice", 1, 400, 40.0f, 0.5f, false},
        {"town", 2, 3000, 3000.0f, 1.0f, false},
        {"sparse with odd points", 3, 300, 5000.0f, 0.25f, true},
        {"a line of points", 4, 500, 0.0f, 2.0f, false},
        {"a few", 5, 3, 600.0f, 1.0f, true},
    };
    const float odd[] = {kNoNumber, 3e38f, -2e19f, 1e-30f, std::numeric_limits<float>::infinity()};
    for (const World& world : worlds) {
        std::mt19937 dice(world.seed);
        std::uniform_real_distribution<float> across(-0.5f * world.side, 0.5f * world.side);
        // Around the player, where the fleet spawns.
        auto on_step = [&](float v) { return std::round(v / world.step) * world.step; };
        std::vector<RoutePoint> points;
        for (int i = 0; i < world.points; ++i) {
            float along =
                kPlayer.x + on_step(across(dice) + static_cast<float>(i % 7) * world.step * 40.0f);
            RoutePoint point =
                point_at(along, on_step(across(dice)), static_cast<RoutePointType>(dice() % 4));
            point.last_spawn = dice() % 5;
            points.push_back(point);
        }
        if (world.odd_points) {
            for (std::size_t i = 0; i < points.size(); i += 17)
                (i % 2 ? points[i].x : points[i].y) = odd[i / 17 % 5];
        }
        TransitService& bus = service_with(ServiceMode::Bus, points);

        std::uniform_real_distribution<float> asked(-world.side - 300.0f, world.side + 300.0f);
        for (int round = 0; round < 40; ++round) {
            host::Vec3 at{kPlayer.x + on_step(asked(dice)), kPlayer.y + on_step(asked(dice)), 5.0f};
            if (round % 13 == 12)
                at.x = odd[round % 5];
            if (round % 5 == 4 && !points.empty()) {
                // Right at a point: distance 0 and ties with its duplicates.
                const RoutePoint& some = points[dice() % points.size()];
                at = {some.x, some.y, 5.0f};
            }
            SCOPED_TRACE(::testing::Message()
                         << world.name << ", round " << round << " at " << at.x << ", " << at.y);
            // Links name a position in whole metres: the first point there.
            std::int32_t link_x = whole_metres(at.x);
            std::int32_t link_y = whole_metres(at.y);
            std::int32_t linked = -1;
            for (std::size_t i = 0; i < points.size() && linked < 0; ++i) {
                if (whole_metres(points[i].x) == link_x && whole_metres(points[i].y) == link_y)
                    linked = static_cast<std::int32_t>(i);
            }
            EXPECT_EQ(bus.find_by_link(link_x, link_y), link_x == 0 && link_y == 0 ? -1 : linked);
            game_frame([&] {
                EXPECT_EQ(bus.nearest_point(at.x, at.y),
                          first_nearest(points, at.x, at.y, true,
                                        [](const RoutePoint&) { return true; }));
                auto capturable = [&](const RoutePoint& p) {
                    return p.captures() && in_square(p.x, p.y, at.x, at.y, bus.search_extent);
                };
                EXPECT_EQ(bus.nearest_capturable(at, -1.0f, 50.0f, {}),
                          first_nearest(points, at.x, at.y, false, capturable));
            });
        }
        std::int32_t spot = -1;
        game_frame([&] {
            spot = first_to_spawn(points, {kPlayer.x, kPlayer.y, kPlayer.z},
                                  static_cast<float>(bus.spawn_min_distance),
                                  static_cast<float>(bus.spawn_max_distance));
        });
        spawn_frame();
        ASSERT_EQ(bus.vehicles.size(), spot < 0 ? 0u : 1u) << world.name;
        if (spot >= 0) {
            hostsim::Vec3 spawned = car_of(bus.vehicles.front()).object.position();
            EXPECT_EQ(spawned.x, points[static_cast<std::size_t>(spot)].x) << world.name;
            EXPECT_EQ(spawned.y, points[static_cast<std::size_t>(spot)].y) << world.name;
        }
    }
}

}  // namespace
}  // namespace corvalen::test
