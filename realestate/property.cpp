#include "realestate/property.h"

#include <charconv>
#include <optional>

#include "core/geometry.h"
#include "core/text_number.h"

namespace corvalen {

std::string property_key(float x, float y, float z) {
    char text[48];
    char* end = text;
    for (float coordinate : {x, y, z}) {
        if (end != text)
            *end++ = ',';
        end = std::to_chars(end, text + sizeof(text), whole_metres(coordinate)).ptr;
    }
    return std::string(text, end);
}

float as_stored(float coordinate) {
    std::string written;
    append_two_decimals(written, coordinate);
    return float_field(written).value_or(coordinate);
}

Property::Property(bool owned, std::int32_t property_kind, std::uint32_t value, float at_x,
                   float at_y, float at_z)
    : Place(kEntryRadius, property_kind, at_x, at_y, at_z) {
    user_flag = owned ? 1 : 0;
    user_value = value;
    label = property_key(at_x, at_y, at_z);
}

}  // namespace corvalen
