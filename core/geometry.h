#pragma once
// Small geometric tests shared by the spot-based features.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace corvalen {

// True when (x1, y1) lies in the square of half-size r around (x2, y2),
// borders included.
inline bool in_square(float x1, float y1, float x2, float y2, std::int32_t r) {
    float half = static_cast<float>(r);
    return x2 - half <= x1 && x1 <= x2 + half && y2 - half <= y1 && y1 <= y2 + half;
}

// The difference of two headings in degrees, folded into -180..180.
inline float heading_difference(float a, float b) {
    return std::fmod(std::fabs(a - b) + 180.0f, 360.0f) - 180.0f;
}

// The integer part of a value of magnitude below 2^31, read from its bits:
// the 32-bit build does float arithmetic on the x87 unit, where a plain
// conversion switches the rounding mode and back each time, which costs
// more than the rest of parsing a stop line.
inline std::int32_t integer_part(double value) {
    auto bits = std::bit_cast<std::uint64_t>(value);
    int exponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
    if (exponent < 0)
        return 0;
    constexpr std::uint64_t kImplicitOne = std::uint64_t{1} << 52;
    auto magnitude =
        static_cast<std::uint32_t>(((bits & (kImplicitOne - 1)) | kImplicitOne) >> (52 - exponent));
    auto whole = static_cast<std::int32_t>(magnitude);
    return (bits >> 63) != 0 ? -whole : whole;
}

// A distance truncated to whole metres; NaN gives 0 and values beyond the
// 32-bit range saturate, where a plain conversion would be undefined.
inline std::int32_t whole_metres(float value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return integer_part(value);
}

}  // namespace corvalen
