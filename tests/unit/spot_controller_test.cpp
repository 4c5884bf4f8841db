// The spot controller: which place is nearest, when its marker shows and its
// entry fires, and the places' blips.

#include "core/spot_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game_frame.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

constexpr hostsim::Vec3 kPlayer{400.0f, -300.0f, 6.0f};
constexpr std::uint32_t kDistanceNative = 0x23F772E7;

// Records what the base hands to the derived feature.
class RecordingSpots : public SpotController {
  public:
    void style_blip(Place& place) override {
        place.blip_sprite = sprite;
        place.blip_colour = 11;
        place.blip_scale = 0.5f;
        place.blip_name = "Auto Service";
    }
    void on_activate(Place& place) override { calls.push_back("activate " + place.label); }
    void on_prompt(Place& place) override { calls.push_back("prompt " + place.label); }

    Place& add(const char* label, float dx, float dy, std::int32_t radius = 3) {
        places.emplace_back(radius, 1, kPlayer.x + dx, kPlayer.y + dy, kPlayer.z);
        places.edit_back().label = label;
        return places.edit_back();
    }

    std::int32_t sprite = 79;
    std::vector<std::string> calls;
};

class SpotControllerTest : public ::testing::Test {
  protected:
    void SetUp() override { game().teleport_player(kPlayer); }

    std::int32_t nearest(bool include_disabled, std::int32_t half_width) {
        std::int32_t index = -2;
        game_frame([&] { index = spots.find_nearest(include_disabled, half_width); });
        return index;
    }
    hostsim::DrawRecord tick() {
        return game_frame([&] { spots.tick(); });
    }
    static auto markers(const hostsim::DrawRecord& draws) {
        return std::count_if(draws.begin(), draws.end(), [](const hostsim::DrawItem& item) {
            return item.kind == hostsim::DrawKind::marker;
        });
    }
    host::Handle refresh(Place& place, bool force) {
        game_frame([&] { spots.refresh_blip(place, force); });
        return place.blip;
    }

    RecordingSpots spots;
};

// Candidates lie in the square around the player, enabled ones unless asked
// otherwise; the later index wins ties.
TEST_F(SpotControllerTest, TheNearestCandidateIsFound) {
    EXPECT_EQ(nearest(false, 50), -1) << "no places";
    spots.add("diagonal", 40.0f, 40.0f);  // 56.6 m away, inside the square
    spots.add("beyond", 50.5f, 0.0f);     // 50.5 m away, outside the square
    EXPECT_EQ(nearest(false, 50), 0);
    EXPECT_NEAR(spots.nearest_distance, 56.57f, 0.01f);
    spots.add("edge", 50.0f, 0.0f);  // exactly on the square's border
    spots.add("west edge", -50.0f, 0.0f);
    EXPECT_EQ(nearest(false, 50), 3);
    EXPECT_EQ(nearest(false, 10), -1);
    EXPECT_EQ(spots.nearest_index, -1);

    spots.add("near", 2.0f, 0.0f).enabled = false;
    EXPECT_EQ(nearest(false, 50), 3);
    EXPECT_EQ(nearest(true, 50), 4);
}

TEST_F(SpotControllerTest, InsideTheRadiusEnterPromptsOrActivates) {
    spots.add("office", 1.0f, 0.0f);
    EXPECT_TRUE(tick().empty()) << "skip_once, set on construction, swallows one check";
    EXPECT_TRUE(spots.calls.empty());

    hostsim::DrawRecord draws = tick();
    ASSERT_EQ(markers(draws), 1u);
    const hostsim::DrawItem& marker = draws[0];
    EXPECT_EQ(marker.x, kPlayer.x + 1.0f);
    EXPECT_EQ(marker.z, game().world().ground_height({kPlayer.x + 1.0f, kPlayer.y, kPlayer.z}));
    EXPECT_EQ(marker.colour, (hostsim::Colour{128, 0, 0, 128}));
    EXPECT_EQ(spots.calls, std::vector<std::string>{"prompt office"});
    game().press_key(static_cast<std::uint8_t>(host::ScanCode::Enter));
    tick();
    EXPECT_EQ(spots.calls, (std::vector<std::string>{"prompt office", "activate office"}));

    spots.places.edit(0).radius = 0;  // a marker, never an entry
    EXPECT_EQ(markers(tick()), 1u);
    EXPECT_EQ(spots.calls.size(), 2u);
    spots.places.edit(0).show_marker = false;
    spots.places.edit(0).radius = 3;
    EXPECT_EQ(markers(tick()), 0u);
    EXPECT_EQ(spots.calls.size(), 3u);

    spots.places.edit(0).enabled = false;
    EXPECT_TRUE(tick().empty());
    EXPECT_EQ(spots.calls.size(), 3u);
}

TEST_F(SpotControllerTest, FarFromEveryPlaceTheSearchRestsFiveSeconds) {
    spots.skip_once = false;
    spots.add("distant", 45.0f, 45.0f);  // in the square, beyond the near range
    tick();
    EXPECT_EQ(spots.next_check_time, game().world().wall_clock_seconds() + 5);
    game().teleport_player({kPlayer.x + 45.0f, kPlayer.y + 45.0f, kPlayer.z});
    std::size_t distance_calls = game().native_calls(kDistanceNative);
    EXPECT_TRUE(tick().empty()) << "resting: nothing asked, nothing drawn";
    EXPECT_EQ(game().native_calls(kDistanceNative), distance_calls);

    game().pass_wall_time(5);
    EXPECT_EQ(markers(tick()), 1u);
    EXPECT_EQ(spots.calls.size(), 1u);
    EXPECT_EQ(spots.next_check_time, game().world().wall_clock_seconds()) << "near: every frame";
}

// Kept unless forced or disabled; none for a negative sprite.
TEST_F(SpotControllerTest, ABlipInTheDerivedStyle) {
    Place& place = spots.add("station", 5.0f, 5.0f);
    host::Handle first = refresh(place, true);
    const hostsim::Blip* blip = game().world().blip(static_cast<std::int32_t>(first));
    ASSERT_NE(blip, nullptr);
    EXPECT_EQ(hostsim::format_point(blip->position.x, blip->position.y, blip->position.z) + " " +
                  std::to_string(blip->sprite) + " " + std::to_string(blip->colour) + " " +
                  std::to_string(blip->display) + " " + hostsim::format_float(blip->scale) + " " +
                  blip->name,
              "(405.00,-295.00,6.00) 79 11 4 0.50 Auto Service");

    EXPECT_EQ(refresh(place, false), first);
    host::Handle second = refresh(place, true);
    EXPECT_NE(second, first);
    EXPECT_EQ(game().world().blip(static_cast<std::int32_t>(first)), nullptr);

    place.enabled = false;
    EXPECT_EQ(refresh(place, false), 0u);
    EXPECT_EQ(game().world().blip(static_cast<std::int32_t>(second)), nullptr);
    place.enabled = true;
    spots.sprite = -1;
    EXPECT_EQ(refresh(place, true), 0u);
}

}  // namespace
}  // namespace corvalen
