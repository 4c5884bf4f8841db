// The number conversions the readers and writers share, against the standard
// library's own: any text reads to the value from_chars gives it (the quick
// path for plain decimals must never part from it), and any float writes the
// bytes to_chars writes with two decimals and reads back to the value the
// library reads from them.

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_number.h"
#include "fuzz/data_folder.h"

namespace {

using corvalen::fuzz::require;

// Where a C conversion would start reading: after white space and a plus sign.
std::string_view library_start(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::strchr(" \t\n\v\f\r", text[i]) != nullptr && text[i] != '\0')
        ++i;
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-' && text[i + 1] != '+')
        ++i;
    return text.substr(i);
}

std::optional<float> library_float(std::string_view text) {
    std::string_view start = library_start(text);
    double value = 0.0;
    auto [end, error] = std::from_chars(start.data(), start.data() + start.size(), value);
    if (error != std::errc() || (std::isfinite(value) && std::fabs(value) > double{FLT_MAX}))
        return std::nullopt;
    return static_cast<float>(value);
}

std::optional<std::int64_t> library_integer(std::string_view text) {
    std::string_view start = library_start(text);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(start.data(), start.data() + start.size(), value);
    if (error != std::errc())
        return std::nullopt;
    return value;
}

std::string bits_text(std::optional<float> value) {
    if (!value)
        return "nothing";
    std::uint32_t bits = 0;
    std::memcpy(&bits, &*value, sizeof bits);
    return std::to_string(bits);
}

bool same(std::optional<float> a, std::optional<float> b) {
    if (a.has_value() != b.has_value())
        return false;
    if (!a)
        return true;
    if (std::isnan(*a) || std::isnan(*b))
        return std::isnan(*a) && std::isnan(*b);
    return bits_text(a) == bits_text(b);
}

void check_text(std::string_view text) {
    std::optional<float> read = corvalen::raw_float_field(text);
    std::optional<float> library = library_float(text);
    require(same(read, library), "a float reads otherwise than the library reads it",
            std::string(text) + " -> " + bits_text(read) + ", library " + bits_text(library));
    // The field readers add their own quick paths on top and refuse what
    // is not finite or not a 32-bit value.
    std::optional<float> finite = library && std::isfinite(*library) ? library : std::nullopt;
    require(same(corvalen::float_field(text), finite),
            "a float field reads otherwise than the library reads it", std::string(text));
    std::optional<std::int64_t> integer = corvalen::int64_field(text);
    require(integer == library_integer(text),
            "an integer reads otherwise than the library reads it", std::string(text));
    std::optional<std::int64_t> narrow = corvalen::int_field(text);
    bool fits = integer && *integer >= INT32_MIN && *integer <= INT32_MAX;
    require(narrow == (fits ? integer : std::nullopt),
            "an int field reads otherwise than the library reads it", std::string(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    check_text(text);
    if (size >= sizeof(float)) {
        float value = 0.0f;
        std::memcpy(&value, data, sizeof value);
        std::string written;
        corvalen::append_two_decimals(written, value);
        require(written == corvalen::fixed_decimals(value, 2),
                "a float writes otherwise than to_chars writes it", bits_text(value));
        check_text(written);
    }
    return 0;
}
