#pragma once
// The mod's data files: plain text without a header, one record per line,
// every value followed by ",". Readers split a line at ","; writers put a ","
// after every value, the last one included, and write floats with two
// decimals the same way on every platform.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalen {

// The lines of a text file, without their line ends ("\n" or "\r\n"); none
// when the file is missing or unreadable. Never throws for a file it cannot
// read.
std::vector<std::string> read_lines(const std::filesystem::path& path);

// The lines of a file that may be missing: none at all when nothing is there,
// nothing (no list) when something is there but could not be read whole (a
// folder, a locked file, a read error). A reader whose file could not be read
// keeps the next save from overwriting it: that file holds what was not loaded.
std::optional<std::vector<std::string>> read_existing_lines(const std::filesystem::path& path);

// The fields of one line, split at ",". The "," after the last value ends
// it rather than starting an empty field, so "1,2," has two fields and ""
// none; an empty value inside the line ("1,,2,") is a field of its own.
std::vector<std::string_view> split_fields(std::string_view line);

// Appends the value, then ",". Floats get two decimals ("-1234.56", "90.00").
void append_field(std::string& line, float value);
void append_field(std::string& line, std::int32_t value);

}  // namespace corvalen
