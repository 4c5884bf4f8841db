// Searches that decide by a local distance must pick what asking the host for
// every distance picks: the same nearest point, ties and near ties included.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "transit_fixture.h"

namespace corvalen::test {
namespace {

// The search as it was made before: the host asked for every point.
std::int32_t nearest_by_host(const std::vector<RoutePoint>& points, float x, float y) {
    std::int32_t nearest = -1;
    float best = std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < points.size(); ++i) {
        float d = host::distance_2d(x, y, points[i].x, points[i].y);
        if (d < best || nearest < 0) {
            best = d;
            nearest = static_cast<std::int32_t>(i);
        }
    }
    return nearest;
}

class HostDistanceTest : public TransitTest {};

// Points on a lattice around the asked position, many at exactly the same
// distance, others a float step apart, some huge or no number at all.
TEST_F(HostDistanceTest, NearestPointIsTheHostsChoiceAmongTiesAndNearTies) {
    std::mt19937 dice(7);
    std::uniform_int_distribution<int> step(-3, 3);
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), 3e38f, -2e19f, 1e-30f};
    for (int round = 0; round < 200; ++round) {
        float x = 100.0f + static_cast<float>(step(dice));
        float y = -50.0f;
        std::vector<RoutePoint> points(40);
        for (RoutePoint& point : points) {
            point.x = 100.0f + static_cast<float>(step(dice)) * 0.5f;
            point.y = -50.0f + static_cast<float>(step(dice)) * 0.5f;
            if (step(dice) == 3)
                point.x = std::nextafter(point.x, 1e9f);
        }
        if (round % 4 == 0)
            points[static_cast<std::size_t>(round / 4 % 40)].x = odd[round / 4 % 4];
        TransitService& bus = service_with(ServiceMode::Bus, points);
        std::int32_t expected = -2;
        std::int32_t found = -3;
        game_frame([&] {
            expected = nearest_by_host(bus.points, x, y);
            found = bus.nearest_point(x, y);
        });
        ASSERT_EQ(found, expected) << "round " << round;
    }
}

}  // namespace
}  // namespace corvalen::test
