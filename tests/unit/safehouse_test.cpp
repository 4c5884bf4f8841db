// Resting and saving at a property, and the position handed to the save.

#include <gtest/gtest.h>

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
        game().world().set_on_mission(false);
        game().world().set_float_stat(hostsim::kCashStat, 1000.0f);
        game().world().cancel_save_screen();
        for (std::int32_t number : {210, 211, 212})
            game().world().set_float_stat(number, 0.0f);
        midnights_before = game().native_calls(kMidnight);
        estate.skip_once = false;
    }
    hostsim::World& world() { return game().world(); }
    float stat(std::int32_t number) { return world().float_stat(number); }
    std::string message() const {
        return estate.message.until > game().world().wall_clock_seconds() ? estate.message.text
                                                                          : "";
    }

    std::size_t midnights_before = 0;
    ROViriVariruRoza estate{""};
    Property home{true, kHouse, 50000, 410.25f, -250.5f, 6.0f};
    Property hotel{false, kHotel, 80, -30.0f, 140.0f, 6.0f};
};

TEST_F(SafehouseTest, ARestMovesTheClockSixHoursAndTellsOfMidnight) {
    struct Case {
        int hour, minute;
        int rested_hour;
        std::size_t midnights;
    };
    const Case cases[] = {{20, 15, 2, 1}, {17, 59, 23, 0}, {18, 0, 0, 1}, {0, 0, 6, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute));
        world().set_clock(c.hour, c.minute);
        std::size_t midnights = game().native_calls(kMidnight);
        int day_count = world().int_stat(hostsim::kDayCountStat);
        int day = world().clock().day;
        estate.skip_once = false;
        game_frame([&] { estate.rest_at(home); });
        EXPECT_EQ(world().clock().hour, c.rested_hour);
        EXPECT_EQ(world().clock().minute, c.minute);
        EXPECT_EQ(game().native_calls(kMidnight) - midnights, c.midnights);
        EXPECT_EQ(world().int_stat(hostsim::kDayCountStat) - day_count,
                  static_cast<int>(c.midnights));
        EXPECT_EQ(world().clock().day - day, static_cast<int>(c.midnights)) << "the date too";
    }
    EXPECT_EQ(stat(210), 410.25f);
    EXPECT_EQ(stat(211), -250.5f);
    EXPECT_EQ(stat(212), 6.0f);
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

TEST_F(SafehouseTest, OnAMissionNothingIsSavedPaidOrSlept) {
    world().set_on_mission(true);
    world().set_clock(20, 15);
    for (const char* how : {"hotel", "home", "F11"}) {
        SCOPED_TRACE(how);
        game_frame([&] {
            if (std::string(how) == "hotel") {
                estate.hotel_stay(hotel);
            } else if (std::string(how) == "home") {
                estate.rest_at(home);
            } else {
                estate.save_at(1.0f, 2.0f, 3.0f);
            }
        });
        EXPECT_EQ(message(), "Can't save on a mission");
        EXPECT_EQ(world().cash(), 1000.0f);
        EXPECT_EQ(world().clock().hour, 20);
        EXPECT_EQ(game().native_calls(kMidnight), midnights_before);
        EXPECT_EQ(stat(210), 0.0f);
        EXPECT_FALSE(world().save_screen_open());
        EXPECT_FALSE(estate.skip_once);
    }
}

TEST_F(SafehouseTest, RightAfterASaveAnotherIsNotStarted) {
    game_frame([&] { estate.save_at(1.0f, 2.0f, 3.0f); });
    ASSERT_TRUE(world().save_screen_open());
    world().set_clock(20, 15);
    game_frame([&] {
        estate.save_at(7.0f, 8.0f, 9.0f);
        estate.rest_at(home);
        estate.hotel_stay(hotel);
    });
    EXPECT_EQ(stat(210), 1.0f);
    EXPECT_EQ(world().clock().hour, 20);
    EXPECT_EQ(world().cash(), 1000.0f);
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
        hostsim::Vec3 at = world().player_position();
        if (c.restored) {
            EXPECT_EQ(at.x, c.stored.x);
            EXPECT_EQ(at.y, c.stored.y);
            EXPECT_EQ(stat(210), 0.0f);
            EXPECT_EQ(stat(211), 0.0f);
            EXPECT_EQ(stat(212), 0.0f);
            EXPECT_TRUE(estate.skip_once);
        } else {
            EXPECT_EQ(at.x, -120.0f);
            EXPECT_FALSE(estate.skip_once);
        }
    }
}

TEST_F(SafehouseTest, TheHandedPositionIsClearedOnlyOnceTheSaveScreenIsOver) {
    game_frame([&] { estate.save_at(1.0f, 2.0f, 3.0f); });
    game_frame([&] { estate.clear_saved_position(); });
    EXPECT_EQ(stat(210), 1.0f) << "the save screen has not even begun";
    game_frame([&] { EXPECT_TRUE(estate.note_host_not_playing()); });
    game_frame([&] { EXPECT_FALSE(estate.note_host_not_playing()); });
    EXPECT_EQ(stat(210), 1.0f);
    game_frame([&] { estate.clear_saved_position(); });
    EXPECT_EQ(stat(210), 0.0f);
    EXPECT_EQ(stat(211), 0.0f);
    EXPECT_EQ(stat(212), 0.0f);

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
