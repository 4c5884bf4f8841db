#include "parking/lot_file.h"

#include <vector>

#include "core/csv.h"
#include "core/skip_reason.h"
#include "core/text_number.h"

namespace corvalen {
namespace {

constexpr std::size_t kLotFields = 5;

}  // namespace

std::optional<GarageSpot> parse_lot_line(std::string_view line, std::string* why) {
    std::vector<std::string_view> fields = split_fields(line);
    if (!enough_values(fields.size(), kLotFields, why))
        return std::nullopt;
    std::optional<float> x = float_field(fields[0]);
    std::optional<float> y = float_field(fields[1]);
    std::optional<float> z = float_field(fields[2]);
    std::optional<std::int32_t> radius = int_field(fields[3]);
    std::optional<std::int32_t> single_storey = int_field(fields[4]);
    if (!fields_read({{"x", x.has_value()},
                      {"y", y.has_value()},
                      {"z", z.has_value()},
                      {"radius", radius.has_value()},
                      {"single-storey flag", single_storey.has_value()}},
                     why)) {
        return std::nullopt;
    }
    return GarageSpot{"", *x, *y, *z, *radius, static_cast<std::uint8_t>(*single_storey)};
}

std::string lot_line(const GarageSpot& lot) {
    return fixed_decimals(lot.x, 2) + "," + fixed_decimals(lot.y, 2) + "," +
           fixed_decimals(lot.z, 2) + "," + std::to_string(lot.radius) + "," +
           std::to_string(lot.single_storey) + ",\n";
}

}  // namespace corvalen
