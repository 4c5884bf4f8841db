#pragma once
// A vehicle as a garage keeps it: a few values the host gives through natives
// and a copy of the host's own vehicle structure (the vehicle block), plus the
// record a garage keeps per vehicle handle.

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_game.h"
#include "host/vehicle_structure.h"

namespace corvalen {

inline constexpr std::int32_t kVehicleExtraCount = 10;

struct SavedVehicle {
    std::uint32_t model = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float heading = 0.0f;
    std::int32_t extra_value = 0;
    host::VehicleBlock block{};
    std::vector<bool> extras;     // one per extra 0 to 9: fitted
    std::uint32_t area_code = 0;  // the host's area value where the car was parked
};

// A live vehicle, captured; `area_code` stays 0.
SavedVehicle capture_vehicle(host::Handle handle);

// Game-time stamps of records: the low 32 bits of game_date_time.
std::int32_t game_time_stamp();

struct StoredCar {
    StoredCar() = default;
    // Stored now (`parked_at` a game-time stamp) and the vehicle captured.
    // The clock and date of storing come from `parked_at` itself when
    // `use_stamp_clock` is set (a car re-created from a file), else from the
    // host's clock.
    StoredCar(host::Handle car, std::int32_t stamp, bool use_stamp_clock);

    host::Handle handle = 0;
    std::int32_t parked_at = 0;
    std::int32_t retrieved_at = 0;  // stamp of the last taking out, 0 before any
    std::int32_t parked_hour = 0;
    std::int32_t parked_minute = 0;
    std::int32_t parked_day = 0;
    std::int32_t parked_month = 0;  // 0 to 11
    float fee = 0.0f;               // of the last parking rate computed for the car
    std::string rate_name;
    SavedVehicle vehicle;
};

}  // namespace corvalen
