#include "core/csv.h"

#include <system_error>

#include "core/text_number.h"
#include "host/file_io.h"

namespace corvalen {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::vector<std::string> split_lines(std::string_view text) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.emplace_back(text);
            break;
        }
        lines.emplace_back(text.substr(0, end));
        bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

std::vector<std::string> read_lines(const std::filesystem::path& path) {
    return split_lines(platform::read_file(path).value_or(std::string()));
}

std::optional<std::vector<std::string>> read_existing_lines(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found)
        return std::vector<std::string>();
    std::optional<std::string> text = platform::read_file(path);
    if (!text)
        return std::nullopt;
    return split_lines(*text);
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

void keep_line(std::vector<std::string>& kept, const std::string& line) {
    if (!line.empty())
        kept.push_back(line);
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
    line += fixed_decimals(value, 2);
    line += ',';
}

void append_field(std::string& line, std::int32_t value) {
    line += std::to_string(value);
    line += ',';
}

}  // namespace corvalen
