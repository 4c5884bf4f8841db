// Resting and saving at a property, and the position handed to the save.

#include <gtest/gtest.h>

#include <functional>

#include "game_frame.h"
#include "realestate/ro_viri_variru_roza.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

constexpr std::uint32_t kMidnight = 0x79CF27AC;

class SafehouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world().set_float_stat(hostsim::kCashStat, 1000.0f);
        estate.skip_once = false;
    }
    static hostsim::World& world() { return game().world(); }
    static float stat(std::int32_t number) { return world().float_stat(number); }
    static std::string saved_position() {
        return hostsim::format_point(stat(210), stat(211), stat(212));
    }
    std::string message() const {
        return estate.message.until > world().wall_clock_seconds() ? estate.message.text : "";
    }

    ROViriVariruRoza estate{""};
    Property home{true, kHouse, 50000, 410.25f, -250.5f, 6.0f};
    Property hotel{false, kHotel, 80, -30.0f, 140.0f, 6.0f};
};

TEST_F(SafehouseTest, ARestMovesTheClockSixHoursAndTellsOfMidnight) {
    struct Case {
        int hour, minute;
        int rested_hour;
        int midnights;
    };
    const Case cases[] = {{20, 15, 2, 1}, {17, 59, 23, 0}, {18, 0, 0, 1}, {0, 0, 6, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute));
        world().set_clock(c.hour, c.minute);
        std::size_t midnights = game().native_calls(kMidnight);
        estate.skip_once = false;
        game_frame([&] { estate.rest_at(home); });
        EXPECT_EQ(world().clock().hour, c.rested_hour);
        EXPECT_EQ(world().clock().minute, c.minute);
        EXPECT_EQ(game().native_calls(kMidnight) - midnights,
                  static_cast<std::size_t>(c.midnights));
    }
    EXPECT_EQ(saved_position(), "(410.25,-250.50,6.00)");
    EXPECT_TRUE(world().save_screen_open());
    EXPECT_TRUE(estate.skip_once) << "the spot keeps quiet for a frame";
}

TEST_F(SafehouseTest, AHotelNightCostsItsPriceWhenThePlayerHasIt) {
    world().set_clock(10, 30);
    world().set_float_stat(hostsim::kCashStat, 79.0f);
    game_frame([&] { estate.hotel_stay(hotel); });
    EXPECT_EQ(message(), "Not enough cash to stay in hotel");
    EXPECT_EQ(world().cash(), 79.0f);
    EXPECT_EQ(world().clock().hour, 10);
    EXPECT_FALSE(world().save_screen_open());

    world().set_float_stat(hostsim::kCashStat, 80.0f);
    game_frame([&] { estate.hotel_stay(hotel); });
    EXPECT_EQ(world().cash(), 0.0f);
    EXPECT_EQ(world().clock().hour, 16);
    EXPECT_EQ(stat(210), -30.0f);
    EXPECT_TRUE(world().save_screen_open());
}

// On a mission, and right after a save, nothing is saved, paid or slept.
TEST_F(SafehouseTest, ARefusedSaveCostsNothing) {
    const std::function<void()> saves[] = {[&] { estate.hotel_stay(hotel); },
                                           [&] { estate.rest_at(home); },
                                           [&] { estate.save_at(1.0f, 2.0f, 3.0f); }};
    world().set_clock(20, 15);
    std::size_t midnights = game().native_calls(kMidnight);
    world().set_on_mission(true);
    for (const auto& save : saves) {
        game_frame(save);
        EXPECT_EQ(message(), "Can't save on a mission");
        EXPECT_FALSE(estate.skip_once);
    }
    world().set_on_mission(false);
    game_frame([&] { estate.save_at(7.0f, 8.0f, 9.0f); });
    ASSERT_TRUE(world().save_screen_open());
    for (const auto& save : saves)
        game_frame(save);
    EXPECT_EQ(world().cash(), 1000.0f);
    EXPECT_EQ(world().clock().hour, 20);
    EXPECT_EQ(game().native_calls(kMidnight), midnights);
    EXPECT_EQ(stat(210), 7.0f);
}

TEST_F(SafehouseTest, ARestoredPositionPutsThePlayerBackOnce) {
    struct Case {
        hostsim::Vec3 stored;
        bool restored;
    };
    const Case cases[] = {
        {{410.25f, -250.5f, 6.0f}, true},  {{0.0f, -250.5f, 6.0f}, false},
        {{410.25f, -1.0f, 6.0f}, false},   {{5.0f, 5.0f, 5.0f}, false},
        {{410.25f, -250.5f, 0.0f}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hostsim::format_point(c.stored));
        game().teleport_player({-120.0f, 35.0f, 6.0f});
        world().set_float_stat(210, c.stored.x);
        world().set_float_stat(211, c.stored.y);
        world().set_float_stat(212, c.stored.z);
        estate.skip_once = false;
        game_frame([&] { estate.restore_saved_position(); });
        EXPECT_EQ(world().player_position().x, c.restored ? c.stored.x : -120.0f);
        EXPECT_EQ(world().player_position().y, c.restored ? c.stored.y : 35.0f);
        EXPECT_EQ(estate.skip_once, c.restored);
        if (c.restored) {
            EXPECT_EQ(saved_position(), "(0.00,0.00,0.00)");
        }
    }
}

TEST_F(SafehouseTest, TheHandedPositionIsClearedOnlyOnceTheSaveScreenIsOver) {
    game_frame([&] { estate.save_at(1.0f, 2.0f, 3.0f); });
    game_frame([&] { estate.clear_saved_position(); });
    EXPECT_EQ(stat(210), 1.0f) << "the save screen has not even begun";
    game_frame([&] { EXPECT_TRUE(estate.note_host_not_playing()); });
    game_frame([&] { EXPECT_FALSE(estate.note_host_not_playing()); });
    game_frame([&] { estate.clear_saved_position(); });
    EXPECT_EQ(saved_position(), "(0.00,0.00,0.00)");

    // Statistics the plug-in did not hand over are none of its business.
    world().set_float_stat(210, 5.0f);
    game_frame([&] {
        EXPECT_FALSE(estate.note_host_not_playing());
        estate.clear_saved_position();
    });
    EXPECT_EQ(stat(210), 5.0f);
}

}  // namespace
}  // namespace corvalen
