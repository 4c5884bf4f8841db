#include "core/game_date.h"

#include <cmath>
#include <ctime>

#include "host/calendar.h"
#include "host/host_game.h"

namespace corvalen {

std::int32_t game_year(std::int32_t day_count) {
    return static_cast<std::int32_t>(std::floor(day_count / 365.25) + 2008.0);
}

std::int64_t calendar_seconds(std::int32_t year, std::int32_t month, std::int32_t day,
                              std::int32_t hour, std::int32_t minute, std::int32_t second) {
    std::tm calendar{};
    calendar.tm_year = year - 1900;
    calendar.tm_mon = month - 1;
    calendar.tm_mday = day;
    calendar.tm_hour = hour;
    calendar.tm_min = minute;
    calendar.tm_sec = second;
    calendar.tm_wday = 0;
    calendar.tm_yday = 0;
    calendar.tm_isdst = -1;
    return platform::local_calendar_seconds(calendar);
}

std::int64_t game_date_time() {
    host::CalendarDay date = host::game_day();
    host::ClockTime clock = host::game_clock();
    std::int32_t year = game_year(host::stat_int(host::Stat::DayCount));
    return calendar_seconds(year, date.month, date.day, clock.hour, clock.minute,
                            host::clock_seconds());
}

std::optional<GameMoment> game_moment(std::int64_t seconds) {
    std::tm calendar{};
    if (!platform::local_calendar_fields(seconds, calendar))
        return std::nullopt;
    return GameMoment{calendar.tm_hour, calendar.tm_min, calendar.tm_mday, calendar.tm_mon + 1};
}

}  // namespace corvalen
