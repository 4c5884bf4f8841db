#include "garage/saved_vehicle.h"

#include <optional>

#include "core/game_date.h"

namespace corvalen {

SavedVehicle capture_vehicle(host::Handle handle) {
    SavedVehicle saved;
    std::uint32_t structure = host::vehicle_object(handle);
    saved.block = host::copy_vehicle_block(structure);
    if (std::optional<host::Matrix> matrix = host::object_matrix(structure)) {
        host::Vec3 at = matrix->position();
        saved.x = at.x;
        saved.y = at.y;
        saved.z = at.z;
    }
    saved.heading = host::vehicle_heading(handle);
    saved.model = host::vehicle_model(handle);
    saved.extra_value = host::vehicle_extra_value(handle);
    saved.extras.reserve(kVehicleExtraCount);
    for (std::int32_t i = 0; i < kVehicleExtraCount; ++i)
        saved.extras.push_back(host::extra_fitted(handle, i));
    return saved;
}

std::int32_t game_time_stamp() {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(game_date_time()));
}

StoredCar::StoredCar(host::Handle car, std::int32_t stamp, bool use_stamp_clock)
    : handle(car), parked_at(stamp) {
    if (use_stamp_clock) {
        // Broken down as game_date_time made it, in local time: a car parked
        // at 22:30 comes back parked at 22:30 on any machine.
        if (std::optional<GameMoment> moment = game_moment(stamp)) {
            parked_hour = moment->hour;
            parked_minute = moment->minute;
            parked_day = moment->day;
            parked_month = moment->month - 1;
        }
    } else {
        host::ClockTime clock = host::game_clock();
        host::CalendarDay date = host::game_day();
        parked_hour = clock.hour;
        parked_minute = clock.minute;
        parked_day = date.day;
        parked_month = date.month - 1;
    }
    vehicle = capture_vehicle(car);
}

}  // namespace corvalen
