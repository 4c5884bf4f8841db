// The square proximity test, whole-metre truncation and the in-game year.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "core/game_date.h"
#include "core/geometry.h"

namespace corvalen {
namespace {

TEST(InSquareTest, BordersBelongToTheSquare) {
    EXPECT_TRUE(in_square(10.0f, 0.0f, 0.0f, 0.0f, 10));
    EXPECT_TRUE(in_square(-10.0f, 10.0f, 0.0f, 0.0f, 10));
    EXPECT_TRUE(in_square(105.0f, -45.0f, 100.0f, -50.0f, 5));
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
    EXPECT_EQ(calendar_seconds(2008, 1, 1, 0, 0, 0), 1199145600);
    EXPECT_EQ(calendar_seconds(2008, 1, 1, 13, 30, 15), 1199145600 + 13 * 3600 + 30 * 60 + 15);
    // One in-game day later is 86400 seconds later, across a month end too.
    EXPECT_EQ(calendar_seconds(2008, 2, 1, 0, 0, 0) - calendar_seconds(2008, 1, 31, 0, 0, 0),
              86400);
    EXPECT_EQ(calendar_seconds(2040, 1, 1, 0, 0, 0), 2208988800);
}

// Time stamps are broken down the way they were made, in local time: away
// from UTC, and on both sides of a summer-time change.
TEST(GameMomentTest, AStampComesBackAtTheClockItWasMadeAt) {
    for (const char* zone : {"IST-5:30", "EST5EDT,M3.2.0,M11.1.0", "UTC"}) {
        SCOPED_TRACE(zone);
        setenv("TZ", zone, 1);
        tzset();
        struct Case {
            std::int32_t month, day, hour, minute;
        };
        for (Case c : {Case{1, 1, 22, 30}, Case{7, 15, 0, 5}, Case{12, 31, 23, 59}}) {
            std::optional<GameMoment> moment =
                game_moment(calendar_seconds(2008, c.month, c.day, c.hour, c.minute, 0));
            ASSERT_TRUE(moment);
            EXPECT_EQ(moment->hour, c.hour);
            EXPECT_EQ(moment->minute, c.minute);
            EXPECT_EQ(moment->day, c.day);
            EXPECT_EQ(moment->month, c.month);
        }
    }
    setenv("TZ", "UTC", 1);
    tzset();
}

}  // namespace
}  // namespace corvalen
