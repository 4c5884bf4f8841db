#pragma once
// The mod's comma-separated data files. A line splits at every comma, so the
// comma that ends a line's last value leaves one more, empty field (where a
// carriage return of a CR LF file ends up). Writers put a comma after every
// value, the last one included, and write floats with two decimals the same
// way on every platform.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvalen {

std::vector<std::string_view> split_fields(std::string_view line);

// Appends the value, then ",". Floats get two decimals ("-1234.56", "90.00").
void append_field(std::string& line, float value);
void append_field(std::string& line, std::int32_t value);

}  // namespace corvalen
