#include "core/text_number.h"

#include <algorithm>
#include <bit>
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
// neither, while the C conversions accept both. (This and the plain-decimal
// helpers below are always inlined: a load reads millions of numbers, and a
// call of their own cost more than their work.)
[[gnu::always_inline]] inline std::string_view number_start(std::string_view text) {
    if (!text.empty() && (text[0] == '-' || (text[0] >= '0' && text[0] <= '9')))
        return text;  // as the files write numbers
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-' && text[i + 1] != '+')
        ++i;
    return text.substr(i);
}

// The digits of a plain decimal such as "-1234.56", the way the data files
// write numbers, read without from_chars (slow in the 32-bit library): at
// most nine digits, which 32 bits hold exactly. Empty for anything else.
struct PlainDecimal {
    bool negative = false;
    std::uint32_t digits = 0;
    std::size_t decimals = 0;
};

constexpr std::size_t kPlainDigits = 9;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

[[gnu::always_inline]] inline std::optional<PlainDecimal> plain_decimal(std::string_view text,
                                                                        bool fraction_allowed) {
    PlainDecimal number;
    const char* at = text.data();
    const char* end = at + text.size();
    number.negative = at != end && *at == '-';
    if (number.negative)
        ++at;
    const char* first = at;
    // The digit count is bounded once, not at every digit.
    const char* last =
        end - at > static_cast<std::ptrdiff_t>(kPlainDigits) ? at + kPlainDigits : end;
    for (; at != last && is_digit(*at); ++at)
        number.digits = number.digits * 10 + static_cast<std::uint32_t>(*at - '0');
    auto whole = static_cast<std::size_t>(at - first);
    if (whole == 0 || (at != end && is_digit(*at)))
        return std::nullopt;
    if (fraction_allowed && at != end && *at == '.') {
        ++at;
        const char* decimals_first = at;
        std::size_t room = kPlainDigits - whole;
        last = static_cast<std::size_t>(end - at) > room ? at + room : end;
        for (; at != last && is_digit(*at); ++at)
            number.digits = number.digits * 10 + static_cast<std::uint32_t>(*at - '0');
        number.decimals = static_cast<std::size_t>(at - decimals_first);
        if (number.decimals == 0 || (at != end && is_digit(*at)))
            return std::nullopt;
    }
    // What from_chars could read on from here (an exponent) is its to read.
    if (fraction_allowed && at != end && (*at == 'e' || *at == 'E'))
        return std::nullopt;
    return number;
}

// The normal float of a rounded significand of 24 bits, or 2^24 when the
// rounding carried into a bit more.
[[gnu::always_inline]] inline float normal_float(bool negative, std::uint32_t significand,
                                                 int exponent) {
    if (significand == (std::uint32_t{1} << 24)) {
        significand >>= 1;
        ++exponent;
    }
    auto biased = static_cast<std::uint32_t>(exponent + 23 + 127);
    std::uint32_t bits = (biased << 23) | (significand & 0x7FFFFF);
    if (negative)
        bits |= 0x80000000u;
    return std::bit_cast<float>(bits);
}

// The float of a plain decimal as from_chars has it (the text rounded to a
// double, then the double to a float), in integer arithmetic: the x87 unit's
// precision is the game's to set, and a division there could round twice
// another way. Empty when the value lies so near a halfway point between two
// floats that the rounding to a double could decide it; from_chars does.
[[gnu::always_inline]] inline std::optional<float> plain_float(const PlainDecimal& number) {
    static constexpr std::uint32_t kPowersOfTen[] = {
        1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
    if (number.digits == 0)
        return number.negative ? -0.0f : 0.0f;
    std::uint32_t divisor = kPowersOfTen[number.decimals];
    // digits * 2^shift / divisor = quotient + rest / divisor, the quotient of
    // 25 to 31 bits: the float's 24, the halfway bit and what lies below.
    auto bits_of = [](std::uint64_t value) { return static_cast<int>(std::bit_width(value)); };
    int shift = std::max(25 + bits_of(divisor) - bits_of(number.digits), 0);
    std::uint64_t scaled = std::uint64_t{number.digits} << shift;  // below 2^55
    std::uint64_t quotient = 0;
    std::uint64_t rest = 0;
    if (scaled <= 0xFFFFFFFFu) {
        // A 32-bit division instead of the library's 64-bit one.
        auto narrow = static_cast<std::uint32_t>(scaled);
        std::uint32_t narrow_quotient = narrow / divisor;
        quotient = narrow_quotient;
        rest = narrow - narrow_quotient * divisor;
    } else {
        quotient = scaled / divisor;
        rest = scaled - quotient * divisor;
    }
    int extra = bits_of(quotient) - 25;
    std::uint64_t dropped = quotient & ((std::uint64_t{1} << extra) - 1);
    auto top = static_cast<std::uint32_t>(quotient >> extra);
    std::uint32_t significand = top >> 1;
    // The part below the halfway bit, as a fraction below: (dropped * divisor
    // + rest) / (divisor * 2^extra).
    std::uint64_t below = dropped * divisor + rest;
    std::uint64_t whole = std::uint64_t{divisor} << extra;
    std::uint64_t from_halfway = (top & 1) != 0 ? below : whole - below;
    constexpr int kDoubleMargin = 27;  // a double's half unit is 2^-29 of this bit
    bool tie = (top & 1) != 0 && below == 0;
    if (!tie && (from_halfway << kDoubleMargin) < whole)
        return std::nullopt;
    if ((top & 1) != 0 && (!tie || (significand & 1) != 0))
        ++significand;
    // value = significand * 2^exponent
    return normal_float(number.negative, significand, extra - shift + 1);
}

// plain_float for the files' own form, no more than two decimals, in 32-bit
// arithmetic only (64-bit shifts and products are several instructions
// each here). With a divisor of at most 100 every step fits 32 bits, and
// the value never lies so near a halfway point that the rounding to a
// double could decide it: the distance from one is at least 1 / (100 *
// 2^7) of the halfway bit, where a double's rounding reaches 2^-29 of it.
[[gnu::always_inline]] inline float two_decimal_float(const PlainDecimal& number) {
    if (number.digits == 0)
        return number.negative ? -0.0f : 0.0f;
    static constexpr std::uint32_t kDivisors[] = {1, 10, 100};
    static constexpr int kDivisorBits[] = {1, 4, 7};
    std::uint32_t divisor = kDivisors[number.decimals];
    // The digits (below 2^30) shifted to 25 + divisor bits or kept: below
    // 2^32 either way, and the quotient is of 25 to 32 bits.
    int shift = std::max(
        25 + kDivisorBits[number.decimals] - static_cast<int>(std::bit_width(number.digits)), 0);
    std::uint32_t scaled = number.digits << shift;
    std::uint32_t quotient = number.decimals == 2   ? scaled / 100
                             : number.decimals == 1 ? scaled / 10
                                                    : scaled;
    std::uint32_t rest = scaled - quotient * divisor;
    int extra = static_cast<int>(std::bit_width(quotient)) - 25;
    std::uint32_t dropped = quotient & ((std::uint32_t{1} << extra) - 1);
    std::uint32_t top = quotient >> extra;
    std::uint32_t significand = top >> 1;
    bool above_halfway = (top & 1) != 0 && (dropped != 0 || rest != 0);
    bool tie = (top & 1) != 0 && !above_halfway;
    if (above_halfway || (tie && (significand & 1) != 0))
        ++significand;
    // value = significand * 2^exponent
    return normal_float(number.negative, significand, extra - shift + 1);
}

[[gnu::always_inline]] inline std::optional<std::int64_t> wide_field(std::string_view text) {
    std::string_view start = number_start(text);
    if (std::optional<PlainDecimal> plain = plain_decimal(start, false)) {
        auto value = static_cast<std::int64_t>(plain->digits);
        return plain->negative ? -value : value;
    }
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(start.data(), start.data() + start.size(), value);
    if (error != std::errc())
        return std::nullopt;
    return value;
}

// Any other number: more decimals or digits, an exponent, or none at all.
// Kept out of line, so that the files' own form reads without its weight.
[[gnu::noinline]] std::optional<float> other_float(std::string_view start,
                                                   std::optional<PlainDecimal> plain) {
    if (plain) {
        if (std::optional<float> value = plain_float(*plain))
            return value;
    }
    double value = 0.0;
    auto [end, error] = std::from_chars(start.data(), start.data() + start.size(), value);
    if (error != std::errc() ||
        (std::isfinite(value) && std::fabs(value) > static_cast<double>(FLT_MAX))) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

[[gnu::always_inline]] inline std::optional<float> read_float(std::string_view text) {
    // from_chars, unlike strtod, ignores the process's locale, which the host
    // may have set to one with a decimal comma.
    std::string_view start = number_start(text);
    std::optional<PlainDecimal> plain = plain_decimal(start, true);
    if (plain && plain->decimals <= 2)
        return two_decimal_float(*plain);
    return other_float(start, plain);
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
    std::optional<float> value = read_float(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<float> raw_float_field(std::string_view text) {
    return read_float(text);
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

void append_two_decimals(std::string& text, float value) {
    // A float is m * 2^e exactly. Below 2^40 its hundredths, m * 100 * 2^e,
    // fit 64 bits, and the bits shifted out decide the rounding (to even on
    // a tie, as to_chars rounds). Other values take to_chars' own way.
    auto bits = std::bit_cast<std::uint32_t>(value);
    auto biased = static_cast<std::int32_t>((bits >> 23) & 0xFF);
    std::uint32_t significand = bits & 0x7FFFFF;
    std::int32_t exponent = biased == 0 ? -149 : biased - 150;
    if (biased != 0)
        significand |= 0x800000;
    if (biased == 0xFF || exponent > 16) {
        text += fixed_decimals(value, 2);
        return;
    }
    std::uint32_t scaled = significand * 100;  // below 2^31
    std::uint64_t hundredths = scaled;
    if (exponent >= 0) {
        hundredths <<= exponent;
    } else if (exponent <= -32) {
        hundredths = 0;  // below half a hundredth
    } else {
        int shift = -exponent;
        std::uint32_t rest = scaled & ((std::uint32_t{1} << shift) - 1);
        std::uint32_t half = std::uint32_t{1} << (shift - 1);
        std::uint32_t kept = scaled >> shift;
        if (rest > half || (rest == half && (kept & 1) != 0))
            ++kept;
        hundredths = kept;
    }
    // Written from the last digit back, in 32-bit division where it will
    // do (the 64-bit one is a library call), and appended at once.
    char buffer[32];
    char* end = buffer + sizeof(buffer);
    char* at = end;
    std::uint64_t whole = 0;
    std::uint32_t cents = 0;
    if (hundredths <= 0xFFFFFFFFu) {
        auto small = static_cast<std::uint32_t>(hundredths);
        whole = small / 100;
        cents = small % 100;
    } else {
        whole = hundredths / 100;
        cents = static_cast<std::uint32_t>(hundredths % 100);
    }
    *--at = static_cast<char>('0' + cents % 10);
    *--at = static_cast<char>('0' + cents / 10);
    *--at = '.';
    if (whole <= 0xFFFFFFFFu) {
        auto small = static_cast<std::uint32_t>(whole);
        do {
            *--at = static_cast<char>('0' + small % 10);
            small /= 10;
        } while (small != 0);
    } else {
        char digits[24];
        char* digits_end = std::to_chars(digits, digits + sizeof(digits), whole).ptr;
        at -= digits_end - digits;
        std::copy(digits, digits_end, at);
    }
    if ((bits >> 31) != 0)
        *--at = '-';
    text.append(at, static_cast<std::size_t>(end - at));
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
