#include <time.h>

#include "host/calendar.h"

namespace corvalen::platform {

std::int64_t local_calendar_seconds(std::tm& calendar) {
    return _mktime64(&calendar);
}

bool local_calendar_fields(std::int64_t seconds, std::tm& calendar) {
    __time64_t when = seconds;
    // The run time's own record; copied at once, on the one frame thread.
    const std::tm* fields = _localtime64(&when);
    if (fields == nullptr)
        return false;
    calendar = *fields;
    return true;
}

}  // namespace corvalen::platform
