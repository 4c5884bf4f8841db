#pragma once
// The in-game date and time as a calendar time, for records that compare
// in-game moments (parking tickets).

#include <cstdint>

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

}  // namespace corvalen
