// The nearest-place search goes through the place list's grid; it must choose
// as a search over every place does and ask the host the same questions:
// random worlds with many equal distances, players on the squares' edges,
// disabled places, positions with no number or far out, and places moved,
// removed and added between searches.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "core/geometry.h"
#include "core/host_distance.h"
#include "core/spot_controller.h"
#include "game_frame.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

constexpr std::uint32_t kDistanceNative = 0x23F772E7;
constexpr float kNoNumber = std::numeric_limits<float>::quiet_NaN();

class Spots : public SpotController {
  public:
    void style_blip(Place&) override {}
    void on_activate(Place&) override {}
    void on_prompt(Place&) override {}
};

struct Choice {
    std::int32_t index = -1;
    std::size_t host_calls = 0;
};

// The search over every place, as it was before the grid: the host is asked
// where its answer could tip the choice, and the last of equals wins.
Choice every_place(const PlaceList& places, host::Vec3 at, bool include_disabled,
                   std::int32_t half) {
    auto eligible = [&](const Place& place) {
        return (place.enabled || include_disabled) && in_square(at.x, at.y, place.x, place.y, half);
    };
    auto range = [&](std::size_t i) {
        return eligible(places[i]) ? distance_range(at, places[i].position()) : DistanceRange{};
    };
    double bound = nearest_bound(places.size(), range);
    Choice choice;
    float best = std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (!eligible(places[i]) || !may_be_nearest(range(i), bound))
            continue;
        ++choice.host_calls;
        float distance = host::distance_3d(at, places[i].position());
        if (distance <= best) {
            best = distance;
            choice.index = static_cast<std::int32_t>(i);
        }
    }
    return choice;
}

struct World {
    const char* name;
    unsigned seed;
    int places;
    float side;  // of the square the places lie in
    float step;  // positions are multiples of it: equal distances and edges
    bool odd;    // some places with no number or far beyond the others
};

class PlaceIndexTest : public ::testing::TestWithParam<World> {};

TEST_P(PlaceIndexTest, ChoosesAsASearchOfEveryPlace) {
    const World& world = GetParam();
    std::mt19937 random(world.seed);
    auto coordinate = [&] {
        float cells = world.side / world.step;
        return std::floor(std::uniform_real_distribution<float>(-cells, cells)(random)) *
               world.step;
    };
    auto odd_value = [&] {
        const float odd[] = {kNoNumber, 3e6f, -1e9f, std::numeric_limits<float>::infinity()};
        return odd[random() % 4];
    };
    auto random_place = [&] {
        Place place(1, 1, coordinate(), coordinate(), std::floor(coordinate() / 8.0f));
        place.enabled = random() % 3 != 0;
        if (world.odd && random() % 10 == 0)
            (random() % 2 == 0 ? place.x : place.y) = odd_value();
        return place;
    };
    Spots spots;
    for (int i = 0; i < world.places; ++i)
        spots.places.push_back(random_place());

    const std::int32_t halves[] = {30, 50, 100, 0, -5, 2000000};
    // The first rounds near place `focus` (the one just changed), the others anywhere.
    auto search_everywhere = [&](const char* when, int rounds, std::size_t focus) {
        for (int round = 0; round < rounds; ++round) {
            std::size_t any = random() % spots.places.size();
            const Place& near =
                spots.places[round < 4 && focus < spots.places.size() ? focus : any];
            std::int32_t half = halves[random() % std::size(halves)];
            // On a square's edge, just beside it, or anywhere.
            float dx = static_cast<float>(half) * static_cast<float>(random() % 3) - half;
            host::Vec3 at{near.x + dx, near.y + (random() % 2 ? 0.0f : coordinate() / 16.0f),
                          near.z};
            if (round % 4 == 0)
                at = {coordinate(), coordinate(), 2.0f};
            if (world.odd && round % 25 == 0)
                at.x = odd_value();
            bool include_disabled = random() % 2 == 0;
            game().teleport_player({at.x, at.y, at.z});
            game_frame([&] {
                Choice expected = every_place(spots.places, at, include_disabled, half);
                std::size_t before = game().native_calls(kDistanceNative);
                std::int32_t found = spots.find_nearest(include_disabled, half);
                ASSERT_EQ(found, expected.index)
                    << world.name << ", " << when << ", round " << round << ", half-width " << half;
                EXPECT_EQ(game().native_calls(kDistanceNative) - before, expected.host_calls)
                    << world.name << ", " << when << ", round " << round;
            });
        }
    };
    search_everywhere("as loaded", 400, 0);
    // Changes made through the list, each seen by the next search.
    for (int change = 0; change < 20; ++change) {
        std::size_t i = random() % spots.places.size();
        if (change % 3 == 0) {
            // Onto another place: a tie wherever that one is found.
            const Place& other = spots.places[random() % spots.places.size()];
            Place& moved = spots.places.edit(i);
            moved.x = other.x;
            moved.y = other.y;
        } else if (change % 3 == 1) {
            spots.places.erase(spots.places.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            spots.places.push_back(random_place());
        }
        search_everywhere("after a change", 30, i);
    }
    for (Place& place : spots.places.edit_all())
        place.y = -place.y;
    search_everywhere("after moving every place", 100, 0);
}

INSTANTIATE_TEST_SUITE_P(
    RandomWorlds, PlaceIndexTest,
    ::testing::Values(World{"sparse", 1, 300, 4000.0f, 10.0f, false},
                      World{"dense, many ties", 2, 400, 200.0f, 5.0f, false},
                      World{"odd positions", 3, 200, 1000.0f, 0.25f, true},
                      World{"a handful", 4, 5, 100.0f, 10.0f, true},
                      World{"fractions far out", 5, 150, 900000.0f, 0.1f, false}),
    [](const auto& info) { return "world" + std::to_string(info.param.seed); });

}  // namespace
}  // namespace corvalen
