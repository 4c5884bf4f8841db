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
        game().teleport_player(kHere);
        car = &game().world().add_vehicle(hostsim::vehicle_models().front().id,
                                          {kHere.x + 4.0f, kHere.y, kHere.z}, 0.0f);
    }

    static constexpr hostsim::Vec3 kHere{300.0f, -260.0f, 6.0f};
    hostsim::Vehicle* car = nullptr;
};

TEST_F(PlayerHelpersTest, OnlyTheDriverDrives) {
    game_frame([&] {
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
    ASSERT_TRUE(game().enter_vehicle(car->handle));
    game_frame([&] {
        EXPECT_EQ(player_vehicle_object(), car->object.address());
        EXPECT_FALSE(player_not_driving());
    });
    // A passenger beside someone else at the wheel.
    game().leave_vehicle();
    hostsim::Character& driver = game().world().add_character(car->model, kHere, 0.0f);
    ASSERT_TRUE(game().world().enter_vehicle(driver.handle, car->handle, hostsim::kDriverSeat));
    ASSERT_TRUE(game().enter_vehicle(car->handle, 0));
    game_frame([&] {
        EXPECT_EQ(player_vehicle(), static_cast<host::Handle>(car->handle));
        EXPECT_TRUE(player_not_driving());
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
    EXPECT_EQ(texts_of(game_frame([&] { message.draw(); })).at(0), "Vehicle Parked");
    game().pass_wall_time(1);
    EXPECT_TRUE(game_frame([&] { message.draw(); }).empty());
}

TEST(GameDateTest, BuiltFromTheHostsCalendarClockAndDayCount) {
    setenv("TZ", "UTC", 1);
    tzset();
    hostsim::World& world = game().world();
    world.set_int_stat(hostsim::kDayCountStat, 366);
    world.set_clock(14, 25);
    game_frame([&] {
        hostsim::ClockReading clock = world.clock();
        EXPECT_EQ(game_date_time(),
                  calendar_seconds(2009, clock.month, clock.day, 14, 25,
                                   static_cast<std::int32_t>(world.clock_seconds())));
    });
}

}  // namespace
}  // namespace corvalen
