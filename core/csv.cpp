#include "core/csv.h"

#include <fstream>

#include "core/text_number.h"

namespace corvalen {

namespace {

std::vector<std::string> lines_of(std::ifstream& file) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace

std::vector<std::string> read_lines(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return lines_of(file);
}

std::optional<std::vector<std::string>> read_existing_lines(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found)
        return std::vector<std::string>();
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return std::nullopt;
    std::vector<std::string> lines = lines_of(file);
    // A failed read sets badbit; the end of the file only eofbit and failbit.
    if (file.bad())
        return std::nullopt;
    return lines;
}

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    return fields;
}

void append_field(std::string& line, float value) {
    line += fixed_decimals(value, 2);
    line += ',';
}

void append_field(std::string& line, std::int32_t value) {
    line += std::to_string(value);
    line += ',';
}

}  // namespace corvalen
