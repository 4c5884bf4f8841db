#pragma once
// Numbers and text: parsing what comes from files and folder names, and
// writing numbers the same way on every platform. The results
// match the C run time's atoi and atof wherever those are defined, and stay
// defined where those are not: the data files and folder names are the
// player's, so any bytes may turn up in them.

#include <cstdint>
#include <optional>
#include <string>
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

// One numeric field of a data file, read as the standard string-to-number
// conversions read it: leading white space, then a number; text after it is
// ignored. Where those conversions would fail (no number at the start, a value
// out of range) the result is empty, so a reader can skip the line instead of
// stopping. Floats must also be finite: no file may put an infinity or a NaN
// into the game.
std::optional<std::int32_t> int_field(std::string_view text);
// A signed 32-bit value is taken as its unsigned bit pattern, as model
// identifiers are often written signed.
std::optional<std::uint32_t> unsigned_field(std::string_view text);
std::optional<float> float_field(std::string_view text);
// A 64-bit integer field, for values whose low bits a reader takes.
std::optional<std::int64_t> int64_field(std::string_view text);
// A float field for a reader that deals with the text "inf" or "nan" itself:
// an infinity or a NaN is kept. Empty, as for float_field, when no number
// starts the text or it lies beyond the float range.
std::optional<float> raw_float_field(std::string_view text);

// A number with a fixed count of decimals ("12.50" for 2, "13" for 0), as
// "{:.2f}" writes it, whatever the platform or the process's locale.
std::string fixed_decimals(double value, int decimals);

// Appends the float with two decimals, byte for byte as fixed_decimals(value,
// 2) writes it, without making a string of its own.
void append_two_decimals(std::string& text, float value);

// A number with at most `digits` significant digits and no trailing zeros
// ("1500", "-55.5", "1.23457e+06" for 6), as a stream writes a float by
// default, whatever the platform or locale.
std::string significant_digits(double value, int digits);

}  // namespace corvalen
