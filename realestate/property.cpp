#include "realestate/property.h"

#include <optional>

#include "core/geometry.h"
#include "core/text_number.h"

namespace corvalen {

std::string property_key(float x, float y, float z) {
    return std::to_string(whole_metres(x)) + "," + std::to_string(whole_metres(y)) + "," +
           std::to_string(whole_metres(z));
}

float as_stored(float coordinate) {
    return float_field(fixed_decimals(coordinate, 2)).value_or(coordinate);
}

Property::Property(bool owned, std::int32_t property_kind, std::uint32_t value, float at_x,
                   float at_y, float at_z)
    : Place(kEntryRadius, property_kind, at_x, at_y, at_z) {
    user_flag = owned ? 1 : 0;
    user_value = value;
    label = property_key(at_x, at_y, at_z);
}

}  // namespace corvalen
