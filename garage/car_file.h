#pragma once
// The car file: one line per stored vehicle, 29 values each followed by ",",
// shared by every garage (the car parks' and the houses').
//
//   0 model               unsigned       15-24 extras 0 to 9  1 fitted, 0 not
//   1-3 x, y, z           %g (6 digits)  25 block short 0x2E  signed
//   4 heading             6 decimals     26 area code         unsigned
//   5-7 colour bytes 0-2  decimal        27 parked at         signed (game-time stamp)
//   8 looks byte          decimal        28 odometer          signed (whole metres)
//   9 colour byte 3       decimal
//   10 damage             6 decimals
//   11-13 fuel record, engine, body  %g (6 digits)
//   14 extra value        signed
//
// Columns 12, 13 and 25 are written for the record and never read back: a
// re-created vehicle starts with a sound body and engine.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "garage/saved_vehicle.h"

namespace corvalen {

// Fewer values than this and a line holds no car.
inline constexpr std::size_t kLeastCarFileFields = 27;

// The columns of one line that a re-created car needs.
struct CarLine {
    std::uint32_t model = 0;
    float x = 0.0f;  // as written, so possibly far off the map or not a number
    float y = 0.0f;
    float z = 0.0f;
    float heading = 0.0f;
    std::array<std::uint8_t, 4> colours{};
    std::uint8_t looks = 0;
    float damage = 0.0f;
    float fuel_record = 0.0f;  // whole
    std::int32_t extra_value = 0;
    std::array<bool, kVehicleExtraCount> extras_fitted{};
    std::uint32_t area_code = 0;
    std::int32_t parked_at = 0;            // 0 on a line that ends before it
    std::optional<std::int32_t> odometer;  // only on a full line
};

// The car of one line; none when the line has fewer than 27 values or a
// column it needs is no number or out of its range (a byte column keeps its
// low byte instead), with the reason in `why` when given. Checked whole, so a
// bad line never creates half a car.
std::optional<CarLine> parse_car_line(std::string_view line, std::string* why = nullptr);

// True when a saved position can be used: within 50 m of sea level and 4000 m
// of the centre, with a heading that is a number.
bool position_on_map(const CarLine& car);

// The line of a stored car, its line end included.
std::string car_file_line(const StoredCar& car, std::int32_t odometer);

}  // namespace corvalen
