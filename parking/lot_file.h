#pragma once
// The lots file, "corvalen/pub_parking_lots.csv", shared by every save: one
// pay car park a line, x, y, z (two decimals), radius and the single-storey
// flag, each followed by ",".

#include <optional>
#include <string>
#include <string_view>

#include "garage/garage_controller.h"

namespace corvalen {

inline constexpr const char* kLotsFileName = "pub_parking_lots.csv";
// In the folder of each save: the cars parked in the lots.
inline constexpr const char* kParkedCarsFileName = "pub_parking_cars.csv";

// The lot of one line; none when the line has fewer than five fields or one
// of them is not a number, with the reason in `why` when given. The flag
// keeps its low byte, as the game did.
std::optional<GarageSpot> parse_lot_line(std::string_view line, std::string* why = nullptr);

// The line of a lot, its line end included.
std::string lot_line(const GarageSpot& lot);

}  // namespace corvalen
