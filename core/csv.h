#pragma once
// The mod's data files: plain text without a header, one record per line,
// every value followed by ",". Readers split a line at ","; writers put a ","
// after every value, the last one included, and write floats with two
// decimals the same way on every platform.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvalen {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The lines of a text, read as a text editor reads them: a UTF-8 byte-order
// mark at the start is no part of the first line, and a line ends at "\r\n",
// "\n" or a lone "\r" (old Mac editors). The line ends are dropped; a last
// line without one counts. Anything else, a NUL byte too, stays in its line.
std::vector<std::string> split_lines(std::string_view text);

// The same lines handed to `line` one by one as views into the text.
template <typename Line>
void for_each_line(std::string_view text, Line line) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    while (!text.empty()) {
        // A plain loop: find_first_of asks memchr about every byte.
        std::size_t end = 0;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (end == text.size()) {
            line(text);
            break;
        }
        line(text.substr(0, end));
        bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
}

// The bytes that end a field (",") or a line.
inline constexpr std::array<bool, 256> kFieldOrLineEnd = [] {
    std::array<bool, 256> ends{};
    ends[static_cast<unsigned char>(',')] = true;
    ends[static_cast<unsigned char>('\n')] = true;
    ends[static_cast<unsigned char>('\r')] = true;
    return ends;
}();

// The lines of a text with their first `Fields` fields each, as split_lines
// and split_fields have them, in one pass over the text: `record` gets the
// line and its fields (at most `Fields`).
template <std::size_t Fields, typename Record>
void for_each_record(std::string_view text, Record record) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    std::string_view fields[Fields];
    const char* data = text.data();
    std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        std::size_t line_start = i;
        std::size_t field_start = i;
        std::size_t count = 0;
        for (;;) {
            // One look-up a byte instead of three comparisons: this loop sees
            // every byte of the file.
            while (i < size && !kFieldOrLineEnd[static_cast<unsigned char>(data[i])])
                ++i;
            if (i == size || data[i] != ',')
                break;
            if (count < Fields)
                fields[count++] = std::string_view(data + field_start, i - field_start);
            field_start = ++i;
        }
        // A last value without its "," is a field; the "," after the last does not start one.
        if (field_start < i && count < Fields)
            fields[count++] = std::string_view(data + field_start, i - field_start);
        record(std::string_view(data + line_start, i - line_start),
               std::span<const std::string_view>(fields, count));
        if (i < size)
            i += data[i] == '\r' && i + 1 < size && data[i + 1] == '\n' ? 2 : 1;
    }
}

// The lines of a text file (as split_lines has them); none when the file is
// missing or unreadable. Never throws for a file it cannot read.
std::vector<std::string> read_lines(const std::filesystem::path& path);

// The lines of a file that may be missing: none at all when nothing is there,
// nothing (no list) when something is there but could not be read whole (a
// folder, a locked file, a read error). A reader whose file could not be read
// keeps the next save from overwriting it: that file holds what was not loaded.
std::optional<std::vector<std::string>> read_existing_lines(const std::filesystem::path& path);
// The same file as one text, for a reader that takes its lines one by one.
std::optional<std::string> read_existing_text(const std::filesystem::path& path);

// The fields of one line, split at ",". The "," after the last value ends
// it rather than starting an empty field, so "1,2," has two fields and ""
// none; an empty value inside the line ("1,,2,") is a field of its own.
std::vector<std::string_view> split_fields(std::string_view line);
// The first fields of the line, as many as `fields` holds, without making a
// list; returns how many there were (at most fields.size()).
std::size_t split_fields(std::string_view line, std::span<std::string_view> fields);

// A data file that the plug-in rewrites keeps the lines that held no record
// it could use, unchanged and in their order, after its records: nothing a
// player or modder wrote is lost to a save (README, "Data files"). A reader
// keeps such a line with keep_line (an empty line holds nothing to keep); the
// writer appends what was kept, each line with a "\n".
void keep_line(std::vector<std::string>& kept, std::string_view line);
void append_kept_lines(std::string& contents, const std::vector<std::string>& kept);
// Makes the text of a data file read back as written: a first line that
// begins with a byte-order mark (a kept line can) would lose the mark to the
// next read, so such a text gets a mark of its own in front.
void keep_first_line_whole(std::string& contents);

// Appends the value, then ",". Floats get two decimals ("-1234.56", "90.00").
void append_field(std::string& line, float value);
void append_field(std::string& line, std::int32_t value);

}  // namespace corvalen
