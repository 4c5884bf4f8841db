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

namespace {

// "-?digits(.d?d?)?": what the database's writer makes of any finite float.
bool plain_two_decimals(std::string_view text) {
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    std::size_t digits_from = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i == digits_from)
        return false;
    if (i == text.size())
        return true;
    if (text[i] != '.' || text.size() - i > 3)
        return false;
    for (++i; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

}  // namespace

float as_stored(std::string_view text, float read) {
    // Below 2^17 the floats lie closer than 0.01, so the one read from such a
    // text lies within 0.004 of it and writes back as the same text; above,
    // the two decimals written lie within 0.005 of the float and so nearer to
    // it than to its neighbours. Either way the round trip gives `read`.
    return plain_two_decimals(text) ? read : as_stored(read);
}

Property::Property(bool owned, std::int32_t property_kind, std::uint32_t value, float at_x,
                   float at_y, float at_z)
    : Place(kEntryRadius, property_kind, at_x, at_y, at_z) {
    user_flag = owned ? 1 : 0;
    user_value = value;
    label = property_key(at_x, at_y, at_z);
}

}  // namespace corvalen
