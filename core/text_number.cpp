#include "core/text_number.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace corvalen {
namespace {

bool is_c_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The text after leading white space and a plus sign; from_chars reads
// neither, while the C conversions accept both.
std::string_view number_start(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-' && text[i + 1] != '+')
        ++i;
    return text.substr(i);
}

std::optional<std::int64_t> wide_field(std::string_view text) {
    std::string_view start = number_start(text);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(start.data(), start.data() + start.size(), value);
    if (error != std::errc())
        return std::nullopt;
    return value;
}

}  // namespace

std::int32_t parse_int_prefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a magnitude that stops growing past the 32-bit range.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kLimit)
            magnitude = kLimit;
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

float parse_float_prefix(std::string_view text) {
    // strtod needs a terminated string; an embedded NUL ends the number there,
    // as it would for atof.
    std::string terminated(text);
    double value = std::strtod(terminated.c_str(), nullptr);
    if (value > static_cast<double>(FLT_MAX))
        return std::numeric_limits<float>::infinity();
    if (value < -static_cast<double>(FLT_MAX))
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

std::optional<std::int32_t> int_field(std::string_view text) {
    std::optional<std::int64_t> value = wide_field(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

std::optional<std::int64_t> int64_field(std::string_view text) {
    return wide_field(text);
}

std::optional<std::uint32_t> unsigned_field(std::string_view text) {
    std::optional<std::int64_t> value = wide_field(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

std::optional<float> float_field(std::string_view text) {
    std::optional<float> value = raw_float_field(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<float> raw_float_field(std::string_view text) {
    // from_chars, unlike strtod, ignores the process's locale, which the host
    // may have set to one with a decimal comma.
    std::string_view start = number_start(text);
    double value = 0.0;
    auto [end, error] = std::from_chars(start.data(), start.data() + start.size(), value);
    if (error != std::errc() ||
        (std::isfinite(value) && std::fabs(value) > static_cast<double>(FLT_MAX))) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

std::string fixed_decimals(double value, int decimals) {
    // The largest double has 309 digits before the point.
    char buffer[400];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return "0";
    return std::string(buffer, end);
}

std::string significant_digits(double value, int digits) {
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, digits);
    if (error != std::errc())
        return "0";
    return std::string(buffer, end);
}

}  // namespace corvalen
