// Marking a spot: the radius follows the player, Y confirms for one frame, N
// cancels.

#include "core/position_capture.h"

#include <gtest/gtest.h>

#include "game_frame.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;
using test::game_frame_pressing;

constexpr auto kY = static_cast<std::uint8_t>(host::ScanCode::Y);
constexpr auto kN = static_cast<std::uint8_t>(host::ScanCode::N);

class PositionCaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().teleport_player(kCentre);
        game_frame([&] { capture.start(); });
        game().teleport_player({kCentre.x + 3.0f, kCentre.y + 4.0f, kCentre.z});
    }

    static constexpr hostsim::Vec3 kCentre{200.0f, -150.0f, 6.0f};
    PositionCapture capture;
};

// A circle at the start point, half a metre down, as wide as the distance
// walked, and the prompt.
TEST_F(PositionCaptureTest, RadiusAndMarkerFollowThePlayer) {
    EXPECT_EQ(capture.radius, 1);
    hostsim::DrawRecord draws = game_frame([&] { capture.process(); });
    EXPECT_EQ(capture.radius, 5);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(hostsim::format_point(draws[0].x, draws[0].y, draws[0].z) +
                  hostsim::format_float(draws[0].width) + " " + std::to_string(draws[0].colour[1]),
              "(200.00,-150.00,5.50)10.00 128");
    EXPECT_EQ(draws[1].text, "Adding. Go and press Y to save, or N to cancel.");

    game().teleport_player({kCentre.x + 7.9f, kCentre.y, kCentre.z});
    game_frame([&] { capture.process(); });
    EXPECT_EQ(capture.radius, 7) << "whole metres, truncated";
}

// Y confirms for exactly one frame, even with N in the same frame; N alone
// cancels with radius 0.
TEST_F(PositionCaptureTest, YConfirmsAndNCancels) {
    game().press_key(kN);
    game_frame_pressing(kY, [&] { capture.process(); });
    EXPECT_TRUE(capture.confirmed);
    EXPECT_FALSE(capture.active);
    EXPECT_EQ(capture.radius, 5);
    EXPECT_TRUE(game_frame([&] { capture.process(); }).empty());
    EXPECT_FALSE(capture.confirmed);

    SetUp();
    game_frame_pressing(kN, [&] { capture.process(); });
    EXPECT_FALSE(capture.confirmed);
    EXPECT_FALSE(capture.active);
    EXPECT_EQ(capture.radius, 0);
}

}  // namespace
}  // namespace corvalen
