#include "tools/check/line_check.h"

#include "autoservice/fuel_data.h"
#include "autoservice/station_file.h"
#include "garage/car_file.h"
#include "parking/lot_file.h"
#include "realestate/property_file.h"

namespace check {

void check_lines(const std::string& file, const std::vector<std::string>& lines,
                 const LineReader& reader, Findings& out) {
    std::string why;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (lines[index].empty() || reader(lines[index], &why))
            continue;
        out.push_back({file, index + 1, "skipped at load: " + why});
    }
}

LineReader station_reader() {
    return [](std::string_view line, std::string* why) {
        return corvalen::parse_station_line(line, why).has_value();
    };
}

LineReader lot_reader() {
    return [](std::string_view line, std::string* why) {
        return corvalen::parse_lot_line(line, why).has_value();
    };
}

LineReader property_reader() {
    return [](std::string_view line, std::string* why) {
        return corvalen::parse_property_line(line, why).has_value();
    };
}

LineReader fuel_reader() {
    return [](std::string_view line, std::string* why) {
        return corvalen::parse_fuel_line(line, why).has_value();
    };
}

LineReader car_reader() {
    return [](std::string_view line, std::string* why) {
        return corvalen::parse_car_line(line, why).has_value();
    };
}

}  // namespace check
