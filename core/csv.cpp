#include "core/csv.h"

#include <charconv>

namespace corvalen {

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

void append_field(std::string& line, float value) {
    // Wide enough for the largest float written out in full.
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    line.append(text, result.ptr);
    line += ',';
}

void append_field(std::string& line, std::int32_t value) {
    char text[16];
    auto result = std::to_chars(text, text + sizeof text, value);
    line.append(text, result.ptr);
    line += ',';
}

}  // namespace corvalen
