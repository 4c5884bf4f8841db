#pragma once
// The station file, "corvalen/service_stations.csv": one station a line,
// x, y, z (two decimals), radius, kind and the name of the street it stands
// in, each followed by ",". The name is for the modder who edits the file;
// reading ignores it.

#include <optional>
#include <string>
#include <string_view>

#include "core/place.h"

namespace corvalen {

// Station kinds; other kinds are loaded and saved but offer nothing.
enum StationKind : std::int32_t {
    kGasStation = 1,
    kRepairShop = 2,
};

// The station of one line; none when the line has fewer than five fields
// or one of the five is not a number, with the reason in `why` when given.
std::optional<Place> parse_station_line(std::string_view line, std::string* why = nullptr);

// The line of a station, its line end included. Commas and line breaks in
// the street name are dropped so the name stays one field of one line.
std::string station_line(const Place& station, std::string_view street);

}  // namespace corvalen
