#include "core/config.h"

#include <vector>

#include "core/csv.h"
#include "core/text_number.h"
#include "host/file_io.h"

namespace corvalen {
namespace {

// Spaces, line feeds and carriage returns go wherever they stand, so
// "max busses = 6" reads as key "maxbusses".
std::string without_blanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\n' && c != '\r')
            out += c;
    }
    return out;
}

// Fields between '=' marks. A field counts only when reading it consumed
// something, so "key=" has one field and "=value" has two (the first empty).
std::vector<std::string_view> fields_of(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t mark = line.find('=', start);
        if (mark == std::string_view::npos) {
            fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, mark - start));
        start = mark + 1;
    }
    return fields;
}

}  // namespace

Config::Config(std::string path) : path_(std::move(path)) {
    if (std::optional<std::string> text = platform::read_file(path_))
        parse(*text);
}

void Config::parse(std::string_view text) {
    // Some old editors end a text file with a Ctrl-Z, which would otherwise
    // stick to the last value ("true\x1A" is not true); nothing after it is
    // the file's.
    text = text.substr(0, text.find('\x1A'));
    // Lines as an editor shows them: a byte-order mark is no part of the
    // first key, and old Mac line ends part lines as well as the others.
    for (const std::string& line : split_lines(text)) {
        if (!line.empty() && line.front() == '#')
            continue;
        std::vector<std::string_view> fields = fields_of(line);
        if (fields.size() < 2)
            continue;
        entries_[without_blanks(fields[0])] = without_blanks(fields[1]);
    }
}

const std::string* Config::find(std::string_view key) const {
    auto it = entries_.find(std::string(key));
    return it == entries_.end() ? nullptr : &it->second;
}

std::int32_t Config::get_int(std::string_view key, std::int32_t fallback) const {
    const std::string* value = find(key);
    return value ? parse_int_prefix(*value) : fallback;
}

float Config::get_float(std::string_view key, float fallback) const {
    const std::string* value = find(key);
    return value ? parse_float_prefix(*value) : fallback;
}

bool Config::get_bool(std::string_view key, bool fallback) const {
    const std::string* value = find(key);
    return value ? *value == "true" : fallback;
}

}  // namespace corvalen
