#include "core/csv.h"

#include <charconv>
#include <system_error>

#include "core/text_number.h"
#include "host/file_io.h"

namespace corvalen {

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    for_each_line(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string> read_lines(const std::filesystem::path& path) {
    return split_lines(platform::read_file(path).value_or(std::string()));
}

std::optional<std::vector<std::string>> read_existing_lines(const std::filesystem::path& path) {
    std::optional<std::string> text = read_existing_text(path);
    if (!text)
        return std::nullopt;
    return split_lines(*text);
}

std::optional<std::string> read_existing_text(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found)
        return std::string();
    return platform::read_file(path);
}

std::size_t split_fields(std::string_view line, std::span<std::string_view> fields) {
    std::size_t count = 0;
    std::size_t start = 0;
    // A plain loop: find calls memchr for each field.
    while (start < line.size() && count < fields.size()) {
        std::size_t comma = start;
        while (comma < line.size() && line[comma] != ',')
            ++comma;
        fields[count++] = line.substr(start, comma - start);
        start = comma + 1;
    }
    return count;
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

void keep_line(std::vector<std::string>& kept, std::string_view line) {
    if (!line.empty())
        kept.emplace_back(line);
}

void append_kept_lines(std::string& contents, const std::vector<std::string>& kept) {
    for (const std::string& line : kept) {
        contents += line;
        contents += '\n';
    }
}

void keep_first_line_whole(std::string& contents) {
    if (contents.starts_with(kByteOrderMark))
        contents.insert(0, kByteOrderMark);
}

void append_field(std::string& line, float value) {
    append_two_decimals(line, value);
    line += ',';
}

void append_field(std::string& line, std::int32_t value) {
    char digits[16];
    char* end = std::to_chars(digits, digits + sizeof(digits), value).ptr;
    line.append(digits, static_cast<std::size_t>(end - digits));
    line += ',';
}

}  // namespace corvalen
