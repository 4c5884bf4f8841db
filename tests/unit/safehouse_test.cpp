// Resting and saving at a property, and the position handed to the save.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "game_frame.h"
#include "realestate/ro_viri_variru_roza.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

hostsim::World& world() {
    return game().world();
}

std::string saved_position() {
    return hostsim::format_point(world().float_stat(210), world().float_stat(211),
                                 world().float_stat(212));
}

class SafehouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world().set_float_stat(hostsim::kCashStat, 1000.0f);
        estate.skip_once = false;
    }
    // Cash, clock, midnights told, statistics 210 to 212, the save screen and
    // the message shown.
    std::string state() const {
        hostsim::ClockReading clock = world().clock();
        char time[8];
        std::snprintf(time, sizeof(time), "%02d:%02d", clock.hour, clock.minute);
        return hostsim::format_float(world().cash()) + " " + time + " " +
               std::to_string(game().native_calls(0x79CF27AC)) + " " + saved_position() +
               (world().save_screen_open() ? " saving" : "") +
               (estate.message.until > world().wall_clock_seconds() ? " " + estate.message.text
                                                                    : "");
    }

    ROViriVariruRoza estate{""};
    Property home{true, kHouse, 50000, 410.25f, -250.5f, 6.0f};
    Property hotel{false, kHotel, 80, -30.0f, 140.0f, 6.0f};
};

TEST_F(SafehouseTest, ARestMovesTheClockSixHoursAndTellsOfMidnight) {
    const std::pair<int, const char*> rests[] = {
        {20, "1000.00 02:15 1 (410.25,-250.50,6.00) saving"},
        {17, "1000.00 23:15 1 (410.25,-250.50,6.00) saving"},
        {18, "1000.00 00:15 2 (410.25,-250.50,6.00) saving"}};
    for (auto [hour, after] : rests) {
        world().set_clock(hour, 15);
        estate.skip_once = false;
        game_frame([&] { estate.rest_at(home); });
        EXPECT_EQ(state(), after);
        EXPECT_TRUE(estate.skip_once) << "the spot keeps quiet for a frame";
    }
}

TEST_F(SafehouseTest, AHotelNightCostsItsPriceWhenThePlayerHasIt) {
    world().set_clock(10, 30);
    world().set_float_stat(hostsim::kCashStat, 79.0f);
    game_frame([&] { estate.hotel_stay(hotel); });
    EXPECT_EQ(state(), "79.00 10:30 0 (0.00,0.00,0.00) Not enough cash to stay in hotel");
    world().set_float_stat(hostsim::kCashStat, 80.0f);
    game_frame([&] { estate.hotel_stay(hotel); });
    EXPECT_EQ(state(), "0.00 16:30 0 (-30.00,140.00,6.00) saving Not enough cash to stay in hotel");
}

// On a mission, and right after a save, nothing is saved, paid or slept.
TEST_F(SafehouseTest, ARefusedSaveCostsNothing) {
    const std::function<void()> saves[] = {[&] { estate.hotel_stay(hotel); },
                                           [&] { estate.rest_at(home); },
                                           [&] { estate.save_at(1.0f, 2.0f, 3.0f); }};
    world().set_clock(20, 15);
    world().set_on_mission(true);
    for (const auto& save : saves) {
        game_frame(save);
        EXPECT_EQ(state(), "1000.00 20:15 0 (0.00,0.00,0.00) Can't save on a mission");
    }
    world().set_on_mission(false);
    game_frame([&] { estate.save_at(7.0f, 8.0f, 9.0f); });
    for (const auto& save : saves) {
        game_frame(save);
        EXPECT_EQ(state(), "1000.00 20:15 0 (7.00,8.00,9.00) saving Can't save on a mission");
    }
}

TEST_F(SafehouseTest, ARestoredPositionPutsThePlayerBackOnce) {
    const std::pair<hostsim::Vec3, bool> stored[] = {{{410.25f, -250.5f, 6.0f}, true},
                                                     {{0.0f, -250.5f, 6.0f}, false},
                                                     {{410.25f, -1.0f, 6.0f}, false},
                                                     {{5.0f, 5.0f, 5.0f}, false},
                                                     {{410.25f, -250.5f, 0.0f}, false}};
    for (auto [at, restored] : stored) {
        game().teleport_player({-120.0f, 35.0f, 6.0f});
        world().set_float_stat(210, at.x);
        world().set_float_stat(211, at.y);
        world().set_float_stat(212, at.z);
        estate.skip_once = false;
        game_frame([&] { estate.restore_saved_position(); });
        hostsim::Vec3 player = world().player_position();
        EXPECT_EQ(hostsim::format_point(player.x, player.y, player.z),
                  hostsim::format_point(restored ? at : hostsim::Vec3{-120.0f, 35.0f, 6.0f}));
        EXPECT_EQ(estate.skip_once, restored);
        if (restored) {
            EXPECT_EQ(saved_position(), "(0.00,0.00,0.00)");
        }
    }
}

TEST_F(SafehouseTest, TheHandedPositionIsClearedOnlyOnceTheSaveScreenIsOver) {
    game_frame([&] { estate.save_at(1.0f, 2.0f, 3.0f); });
    game_frame([&] { estate.clear_saved_position(); });
    EXPECT_EQ(world().float_stat(210), 1.0f) << "the save screen has not even begun";
    game_frame([&] {
        EXPECT_TRUE(estate.note_host_not_playing());
        EXPECT_FALSE(estate.note_host_not_playing());
    });
    game_frame([&] { estate.clear_saved_position(); });
    EXPECT_EQ(saved_position(), "(0.00,0.00,0.00)");

    // Statistics the plug-in did not hand over are none of its business.
    world().set_float_stat(210, 5.0f);
    game_frame([&] {
        EXPECT_FALSE(estate.note_host_not_playing());
        estate.clear_saved_position();
    });
    EXPECT_EQ(world().float_stat(210), 5.0f);
}

}  // namespace
}  // namespace corvalen
