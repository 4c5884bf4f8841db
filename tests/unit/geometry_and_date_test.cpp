// The square proximity test, whole-metre truncation and the in-game year.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "core/game_date.h"
#include "core/geometry.h"

namespace corvalen {
namespace {

TEST(InSquareTest, BordersBelongToTheSquare) {
    EXPECT_TRUE(in_square(10.0f, 0.0f, 0.0f, 0.0f, 10));
    EXPECT_FALSE(in_square(10.01f, 0.0f, 0.0f, 0.0f, 10));
    EXPECT_FALSE(in_square(0.0f, -10.01f, 0.0f, 0.0f, 10));
    // A diagonal point far outside the circle is still inside the square.
    EXPECT_TRUE(in_square(9.9f, 9.9f, 0.0f, 0.0f, 10));
    EXPECT_TRUE(in_square(3.0f, 4.0f, 3.0f, 4.0f, 0));
    EXPECT_FALSE(in_square(3.0f, 4.5f, 3.0f, 4.0f, 0));
}

TEST(WholeMetresTest, TruncatesAndStaysDefined) {
    EXPECT_EQ(whole_metres(7.99f), 7);
    EXPECT_EQ(whole_metres(-7.99f), -7);
    EXPECT_EQ(whole_metres(std::nanf("")), 0);
    EXPECT_EQ(whole_metres(1e20f), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(whole_metres(-1e20f), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(whole_metres(std::numeric_limits<float>::infinity()),
              std::numeric_limits<std::int32_t>::max());
}

TEST(GameYearTest, YearsOfQuarterDays) {
    const std::pair<std::int32_t, std::int32_t> years[] = {{0, 2008},   {365, 2008}, {366, 2009},
                                                           {730, 2009}, {731, 2010}, {-1, 2007}};
    for (auto [days, year] : years)
        EXPECT_EQ(game_year(days), year) << days;
}

TEST(CalendarSecondsTest, MatchesTheCalendarPast2038) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(calendar_seconds(2008, 1, 1, 13, 30, 15), 1199145600 + 13 * 3600 + 30 * 60 + 15);
    // One in-game day later is 86400 seconds later, across a month end too.
    EXPECT_EQ(calendar_seconds(2008, 2, 1, 0, 0, 0) - calendar_seconds(2008, 1, 31, 0, 0, 0),
              86400);
    EXPECT_EQ(calendar_seconds(2040, 1, 1, 0, 0, 0), 2208988800);
}

// Time stamps are broken down the way they were made, in local time: away
// from UTC, and on both sides of a summer-time change.
TEST(GameMomentTest, AStampComesBackAtTheClockItWasMadeAt) {
    for (const char* zone : {"IST-5:30", "EST5EDT,M3.2.0,M11.1.0"}) {
        setenv("TZ", zone, 1);
        tzset();
        // Month, day, hour, minute, on both sides of a summer-time change.
        for (std::array<std::int32_t, 4> at : {std::array{1, 1, 22, 30}, std::array{7, 15, 0, 5}}) {
            std::optional<GameMoment> moment =
                game_moment(calendar_seconds(2008, at[0], at[1], at[2], at[3], 0));
            ASSERT_TRUE(moment);
            EXPECT_EQ((std::array{moment->month, moment->day, moment->hour, moment->minute}), at)
                << zone;
        }
    }
}

}  // namespace
}  // namespace corvalen
