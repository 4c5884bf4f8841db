#include "autoservice/station_file.h"

#include <vector>

#include "core/csv.h"
#include "core/skip_reason.h"
#include "core/text_number.h"

namespace corvalen {

std::optional<Place> parse_station_line(std::string_view line, std::string* why) {
    std::vector<std::string_view> fields = split_fields(line);
    if (!enough_values(fields.size(), 5, why))
        return std::nullopt;
    std::optional<float> x = float_field(fields[0]);
    std::optional<float> y = float_field(fields[1]);
    std::optional<float> z = float_field(fields[2]);
    std::optional<std::int32_t> radius = int_field(fields[3]);
    std::optional<std::int32_t> kind = int_field(fields[4]);
    if (!fields_read({{"x", x.has_value()},
                      {"y", y.has_value()},
                      {"z", z.has_value()},
                      {"radius", radius.has_value()},
                      {"kind", kind.has_value()}},
                     why)) {
        return std::nullopt;
    }
    return Place(*radius, *kind, *x, *y, *z);
}

std::string station_line(const Place& station, std::string_view street) {
    std::string line = fixed_decimals(station.x, 2) + "," + fixed_decimals(station.y, 2) + "," +
                       fixed_decimals(station.z, 2) + "," + std::to_string(station.radius) + "," +
                       std::to_string(station.kind) + ",";
    for (char c : street) {
        if (c != ',' && c != '\n' && c != '\r')
            line += c;
    }
    return line + ",\n";
}

}  // namespace corvalen
