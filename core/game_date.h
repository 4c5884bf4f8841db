#pragma once
// The in-game date and time as a calendar time, for records that compare
// in-game moments (parking tickets).

#include <cstdint>
#include <optional>

namespace corvalen {

// The in-game year for a count of in-game days: 2008 plus whole years of
// 365.25 days.
std::int32_t game_year(std::int32_t day_count);

// Seconds (the scale of mktime, local time) of a calendar moment; month 1 to
// 12. Fields out of range are normalised the way mktime does.
std::int64_t calendar_seconds(std::int32_t year, std::int32_t month, std::int32_t day,
                              std::int32_t hour, std::int32_t minute, std::int32_t second);

// The host's day, month, clock, day count and clock seconds as one calendar
// time.
std::int64_t game_date_time();

// The clock and date of a moment in those seconds, broken down in local time
// as calendar_seconds made it: 22:30 stays 22:30 whatever the machine's time
// zone. None when the moment cannot be broken down.
struct GameMoment {
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t day = 0;    // of the month
    std::int32_t month = 0;  // 1 to 12
};
std::optional<GameMoment> game_moment(std::int64_t seconds);

}  // namespace corvalen
