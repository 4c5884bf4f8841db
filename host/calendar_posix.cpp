// glibc on i386 keeps time_t 32 bits wide unless asked; in-game years run past
// 2038, so this file asks for the 64-bit interface.
#define _FILE_OFFSET_BITS 64
#define _TIME_BITS 64

#include <time.h>

#include "host/calendar.h"

namespace corvalen::platform {

static_assert(sizeof(time_t) == 8, "calendar times past 2038 need a 64-bit time_t");

std::int64_t local_calendar_seconds(std::tm& calendar) {
    return mktime(&calendar);
}

bool local_calendar_fields(std::int64_t seconds, std::tm& calendar) {
    time_t when = seconds;
    std::tm fields{};
    if (localtime_r(&when, &fields) == nullptr)
        return false;
    calendar = fields;
    return true;
}

}  // namespace corvalen::platform
