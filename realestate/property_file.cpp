#include "realestate/property_file.h"

#include <algorithm>
#include <charconv>

#include "core/csv.h"
#include "core/skip_reason.h"
#include "core/text_number.h"

namespace corvalen {
std::optional<PropertyRecord> parse_property_line(std::string_view line, std::string* why) {
    std::string_view fields[kPropertyFields];
    return parse_property_fields(std::span(fields, split_fields(line, fields)), why);
}

std::optional<PropertyRecord> parse_property_fields(std::span<const std::string_view> fields,
                                                    std::string* why) {
    if (!enough_values(fields.size(), kPropertyFields, why))
        return std::nullopt;
    std::optional<float> x = float_field(fields[0]);
    std::optional<float> y = float_field(fields[1]);
    std::optional<float> z = float_field(fields[2]);
    // Field 4, the owned letter, is written for the modder's eyes only.
    std::optional<std::int32_t> kind = int_field(fields[4]);
    std::optional<std::int32_t> value = int_field(fields[5]);
    std::optional<float> garage_x = float_field(fields[6]);
    std::optional<float> garage_y = float_field(fields[7]);
    std::optional<float> garage_z = float_field(fields[8]);
    std::optional<std::int32_t> garage_radius = int_field(fields[9]);
    if (!fields_read({{"x", x.has_value()},
                      {"y", y.has_value()},
                      {"z", z.has_value()},
                      {"kind", kind.has_value()},
                      {"value", value.has_value()},
                      {"garage x", garage_x.has_value()},
                      {"garage y", garage_y.has_value()},
                      {"garage z", garage_z.has_value()},
                      {"garage radius", garage_radius.has_value()}},
                     why)) {
        return std::nullopt;
    }
    // A negative price would pay the player for buying.
    if (*value < 0) {
        refuse(why, "a negative value would pay the player for buying");
        return std::nullopt;
    }
    float stored_x = as_stored(fields[0], *x);
    float stored_y = as_stored(fields[1], *y);
    float stored_z = as_stored(fields[2], *z);
    std::optional<PropertyRecord> record = PropertyRecord{
        Property(false, *kind, static_cast<std::uint32_t>(*value), stored_x, stored_y, stored_z),
        GarageSpot{"", *garage_x, *garage_y, *garage_z, *garage_radius, 0}, std::string()};
    // Equal positions have equal keys: only a line that rounded on storing
    // needs a key of its own.
    record->key_as_written = stored_x == *x && stored_y == *y && stored_z == *z
                                 ? record->property.label
                                 : property_key(*x, *y, *z);
    return record;
}

std::string property_line(const Place& property, const GarageSpot& garage) {
    std::string line;
    append_property_line(line, property, garage);
    return line;
}

void append_property_line(std::string& line, const Place& property, const GarageSpot& garage) {
    append_field(line, property.x);
    append_field(line, property.y);
    append_field(line, property.z);
    line += is_owned(property) ? "t," : "f,";
    append_field(line, property.kind);
    char value[16];
    line.append(value, std::to_chars(value, value + sizeof(value), property.user_value).ptr);
    line += ',';
    append_field(line, garage.x);
    append_field(line, garage.y);
    append_field(line, garage.z);
    append_field(line, garage.radius);
    line += '\n';
}

std::vector<std::string> owned_keys(const std::vector<std::string>& lines) {
    std::vector<std::string> keys;
    for (const std::string& line : lines) {
        // A carriage return ends a key as a line end does: no property's key
        // holds one, and a key kept with one would lose it between its next
        // write and read.
        std::size_t start = 0;
        while (start <= line.size()) {
            std::size_t end = std::min(line.find('\r', start), line.size());
            std::string key = line.substr(start, end - start);
            start = end + 1;
            if (key.empty())
                continue;
            std::replace(key.begin(), key.end(), '+', ',');
            keys.push_back(std::move(key));
        }
    }
    return keys;
}

}  // namespace corvalen
