#include "tools/check/place_check.h"

#include <cmath>
#include <map>
#include <optional>
#include <set>

#include "autoservice/station_file.h"
#include "core/text_number.h"
#include "garage/car_file.h"
#include "parking/lot_file.h"
#include "realestate/property_file.h"
#include "tools/check/line_check.h"

namespace check {
namespace {

void check_radius(const std::string& file, std::size_t line, std::int32_t radius, const char* what,
                  Findings& out) {
    if (radius > 0)
        return;
    out.push_back(
        {file, line, "radius " + std::to_string(radius) + ": no car is ever inside this " + what});
}

}  // namespace

void check_stations(const std::string& file, const std::vector<std::string>& lines, Findings& out) {
    check_lines(file, lines, station_reader(), out);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (std::optional<corvalen::Place> station = corvalen::parse_station_line(lines[index]))
            check_radius(file, index + 1, station->radius, "station", out);
    }
}

void check_lots(const std::string& file, const std::vector<std::string>& lines, Findings& out) {
    check_lines(file, lines, lot_reader(), out);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (std::optional<corvalen::GarageSpot> lot = corvalen::parse_lot_line(lines[index]))
            check_radius(file, index + 1, lot->radius, "car park", out);
    }
}

void check_properties(const std::string& file, const std::vector<std::string>& lines,
                      Findings& out) {
    check_lines(file, lines, property_reader(), out);
    std::map<std::string, std::size_t> first_line_of;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        std::optional<corvalen::PropertyRecord> record =
            corvalen::parse_property_line(lines[index]);
        if (!record)
            continue;
        const std::string& key = record->property.label;
        auto [earlier, added] = first_line_of.emplace(key, index + 1);
        if (!added) {
            out.push_back({file, index + 1,
                           "the key " + key + " is line " + std::to_string(earlier->second) +
                               "'s too: owning one owns both, and their garages are one"});
        }
    }
}

void check_owned_keys(const std::string& file, const std::vector<std::string>& lines,
                      const std::vector<std::string>& database, Findings& out) {
    std::set<std::string> known;
    for (const std::string& line : database) {
        if (std::optional<corvalen::PropertyRecord> record = corvalen::parse_property_line(line)) {
            known.insert(record->property.label);
            known.insert(record->key_as_written);
        }
    }
    for (std::size_t index = 0; index < lines.size(); ++index) {
        for (const std::string& key : corvalen::owned_keys({lines[index]})) {
            if (known.count(key) == 0)
                out.push_back({file, index + 1, "owns " + key + ", which is no property's key"});
        }
    }
}

void check_cars(const std::string& file, const std::vector<std::string>& lines, Findings& out) {
    check_lines(file, lines, car_reader(), out);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        std::optional<corvalen::CarLine> car = corvalen::parse_car_line(lines[index]);
        if (!car || corvalen::position_on_map(*car))
            continue;
        std::string where = std::isfinite(car->heading)
                                ? "the car stands off the map at (" +
                                      corvalen::fixed_decimals(car->x, 2) + ", " +
                                      corvalen::fixed_decimals(car->y, 2) + ", " +
                                      corvalen::fixed_decimals(car->z, 2) + ")"
                                : std::string("the car's heading is no number");
        out.push_back({file, index + 1, where + ": a load puts it in the fallback row"});
    }
}

}  // namespace check
