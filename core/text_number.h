#pragma once
// Number parsing for text that comes from files and folder names. The results
// match the C run time's atoi and atof wherever those are defined, and stay
// defined where those are not: the data files and folder names are the
// player's, so any bytes may turn up in them.

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvalen {

// atoi: leading white space, an optional sign, then decimal digits; 0 when no
// digit follows. A number beyond the 32-bit range saturates at INT32_MIN or
// INT32_MAX instead of being undefined.
std::int32_t parse_int_prefix(std::string_view text);

// atof narrowed to single precision: whatever strtod reads from the start of
// the text (0 when nothing). A double beyond the float range becomes an
// infinity of its sign, the value IEEE rounding gives, instead of an
// undefined conversion.
float parse_float_prefix(std::string_view text);

// The standard string-to-number conversions (stoi, stof) as the data files
// use them, without their exceptions: leading white space, then a number
// whose end is wherever its digits end ("410.00" reads as the integer 410).
// Nothing when no number starts the text or it does not fit: an integer
// beyond the 32-bit range, a float beyond single precision. Infinities and
// NaN are refused too: no position or heading is one.
std::optional<std::int32_t> parse_int_field(std::string_view text);
std::optional<float> parse_float_field(std::string_view text);

}  // namespace corvalen
