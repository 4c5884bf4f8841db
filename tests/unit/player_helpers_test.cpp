// The player's vehicle, driving, nearest vehicles, timed messages and the
// in-game date as the features see them through the host.

#include <gtest/gtest.h>

#include "core/game_date.h"
#include "core/player.h"
#include "core/screen_text.h"
#include "game_frame.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;
using test::texts_of;

class PlayerHelpersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        game().teleport_player(kHere);
        game_frame([] {});
        car = &game().world().add_vehicle(hostsim::vehicle_models().front().id,
                                          {kHere.x + 4.0f, kHere.y, kHere.z}, 0.0f);
    }
    void TearDown() override {
        game().leave_vehicle();
        game().world().remove_vehicle(car->handle);
    }

    static constexpr hostsim::Vec3 kHere{300.0f, -260.0f, 6.0f};
    hostsim::Vehicle* car = nullptr;
};

TEST_F(PlayerHelpersTest, OnlyTheDriverDrives) {
    game_frame([&] {
        EXPECT_NE(player_character(), 0u);
        EXPECT_EQ(player_vehicle_object(), 0u);
        EXPECT_TRUE(player_not_driving());
        std::optional<host::Vec3> at = player_position();
        ASSERT_TRUE(at.has_value());
        EXPECT_EQ(at->x, kHere.x);
        EXPECT_EQ(at->y, kHere.y);
        EXPECT_EQ(nearest_vehicle(kHere.x, kHere.y, kHere.z, 20.0f),
                  static_cast<host::Handle>(car->handle));
        EXPECT_EQ(nearest_vehicle(kHere.x, kHere.y, kHere.z, 2.0f), 0u);
    });
    ASSERT_TRUE(game().enter_vehicle(car->handle, 0));
    game_frame([&] {
        EXPECT_EQ(player_vehicle(), static_cast<host::Handle>(car->handle));
        EXPECT_TRUE(player_not_driving()) << "a passenger";
    });
    ASSERT_TRUE(game().enter_vehicle(car->handle));
    game_frame([&] {
        EXPECT_EQ(player_vehicle_object(), car->object.address());
        EXPECT_FALSE(player_not_driving());
    });
}

// Shown at second t, drawn up to and including t + 5.
TEST(TimedMessageTest, ShownForSixSecondsThenGone) {
    TimedMessage message;
    std::int64_t shown_at = 0;
    game_frame([&] {
        message.show("Vehicle Parked");
        shown_at = game().world().wall_clock_seconds();
    });
    EXPECT_EQ(message.until, shown_at + 6);
    message.until = game().world().wall_clock_seconds() + 6;  // a whole second from now
    game().pass_wall_time(5);
    EXPECT_EQ(texts_of(game_frame([&] { message.draw(); })),
              std::vector<std::string>{"Vehicle Parked"});
    game().pass_wall_time(1);
    EXPECT_TRUE(game_frame([&] { message.draw(); }).empty());
}

TEST(GameDateTest, BuiltFromTheHostsCalendarClockAndDayCount) {
    setenv("TZ", "UTC", 1);
    tzset();
    hostsim::World& world = game().world();
    world.set_int_stat(hostsim::kDayCountStat, 366);
    world.set_clock(14, 25);
    std::int64_t expected = 0;
    std::int64_t actual = 0;
    game_frame([&] {
        hostsim::ClockReading clock = world.clock();
        expected = calendar_seconds(2009, clock.month, clock.day, clock.hour, clock.minute,
                                    static_cast<std::int32_t>(world.clock_seconds()));
        actual = game_date_time();
    });
    EXPECT_EQ(actual, expected);
}

TEST(FrameScopeTest, NoNativeRunsOutsideAFrame) {
    game();
    std::size_t before = game().native_log().size();
    EXPECT_FALSE(host::key_pressed(host::ScanCode::F12));
    EXPECT_EQ(host::player_index(), 0);
    EXPECT_EQ(host::add_blip({1.0f, 2.0f, 3.0f}), 0u);
    EXPECT_EQ(game().native_log().size(), before);
}

}  // namespace
}  // namespace corvalen
