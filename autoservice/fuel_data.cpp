#include "autoservice/fuel_data.h"

#include <vector>

#include "core/csv.h"
#include "core/skip_reason.h"
#include "core/text_number.h"

namespace corvalen {

std::optional<FuelSpec> parse_fuel_line(std::string_view line, std::string* why) {
    std::vector<std::string_view> fields = split_fields(line);
    if (!enough_values(fields.size(), 5, why))
        return std::nullopt;
    std::optional<std::uint32_t> model = unsigned_field(fields[1]);
    std::optional<std::int32_t> tank = int_field(fields[2]);
    std::optional<float> km_per_litre = float_field(fields[3]);
    std::optional<std::int32_t> extra = int_field(fields[4]);
    if (!fields_read({{"model", model.has_value()},
                      {"tank", tank.has_value()},
                      {"kilometres per litre", km_per_litre.has_value()},
                      {"fifth value", extra.has_value()}},
                     why)) {
        return std::nullopt;
    }
    FuelSpec spec;
    spec.name = std::string(fields[0]);
    spec.model = *model;
    spec.tank = *tank > 0 ? *tank : FuelSpec::kDefaultTank;
    spec.km_per_litre = *km_per_litre;
    spec.spec_extra = *extra;
    return spec;
}

FuelSpecs read_fuel_data(const std::filesystem::path& path) {
    FuelSpecs specs;
    for (const std::string& line : read_lines(path)) {
        if (std::optional<FuelSpec> spec = parse_fuel_line(line))
            specs[spec->model] = std::move(*spec);
    }
    return specs;
}

}  // namespace corvalen
