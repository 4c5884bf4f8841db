#include <time.h>

#include "host/calendar.h"

namespace corvalen::platform {

std::int64_t local_calendar_seconds(std::tm& calendar) {
    return _mktime64(&calendar);
}

}  // namespace corvalen::platform
