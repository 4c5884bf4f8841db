#pragma once
// Calendar conversion belongs with the platform seam: the 32-bit Windows run
// time keeps time_t 32 bits wide and offers the 64-bit conversions under their
// own names (calendar_win.cpp); glibc offers them through mktime and
// localtime_r once asked for 64-bit times (calendar_posix.cpp).

#include <cstdint>
#include <ctime>

namespace corvalen::platform {

// mktime with a 64-bit result: local calendar fields to seconds since the
// epoch, out-of-range fields normalised. -1 when the time cannot be
// represented.
std::int64_t local_calendar_seconds(std::tm& calendar);

// The other way: seconds since the epoch to local calendar fields. False
// (and the fields untouched) when the time cannot be broken down.
bool local_calendar_fields(std::int64_t seconds, std::tm& calendar);

}  // namespace corvalen::platform
