#pragma once
// The property database, "corvalen/house_db.csv": one property a line,
// x, y, z, owned (t or f), kind, value, then the house garage's x, y, z and
// radius, each followed by ",". Ownership is not read from it: the owned-
// houses file of each save, one property key a line, says which houses the
// player owns there.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "garage/garage_controller.h"
#include "realestate/property.h"

namespace corvalen {

inline constexpr const char* kPropertyFileName = "house_db.csv";
// In the folder of each save.
inline constexpr const char* kOwnedHousesFileName = "player_houses_db.dat";
// In the folder of each save: the cars kept in the house garages.
inline constexpr const char* kHouseCarsFileName = "house_cars.csv";

struct PropertyRecord {
    Property property;  // not owned: the owned-houses file decides
    GarageSpot garage;  // radius 0 for none
    // The key of the position as the line spells it. It differs from the
    // property's own only for a hand-made line with more than two decimals
    // that rounds across a whole metre; owned-houses files may name a house
    // by it.
    std::string key_as_written;
};

// The property of one line; none when the line has fewer than ten fields,
// one of them is not a number, or the value is negative; the reason goes to
// `why` when given. Its position is
// taken as the database holds it once written, with two decimals, so that
// its key survives the next save.
std::optional<PropertyRecord> parse_property_line(std::string_view line,
                                                  std::string* why = nullptr);
// The same for a line split already: its first kPropertyFields fields.
inline constexpr std::size_t kPropertyFields = 10;
std::optional<PropertyRecord> parse_property_fields(std::span<const std::string_view> fields,
                                                    std::string* why = nullptr);

// The line of a property and its house garage, its line end included.
std::string property_line(const Place& property, const GarageSpot& garage);
// The same line added to `text`.
void append_property_line(std::string& text, const Place& property, const GarageSpot& garage);

// The keys of the owned-houses file's lines; "+" may stand for ",", and a
// carriage return inside a line parts two keys.
std::vector<std::string> owned_keys(const std::vector<std::string>& lines);

}  // namespace corvalen
