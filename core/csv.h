#pragma once
// The mod's data files: plain text without a header, one record per line,
// every value followed by ",". Readers split a line at ","; writers put a ","
// after every value, the last one included, and write floats with two
// decimals the same way on every platform.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/file_io.h"

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

// The bytes a record reader stops at, looked up: one test a byte instead of three.
inline constexpr std::array<bool, 256> kRecordStops = [] {
    std::array<bool, 256> stops{};
    stops['\n'] = stops['\r'] = stops[','] = true;
    return stops;
}();

// The lines of a text that may go on beyond it, with their first `Fields`
// fields each, as split_lines and split_fields have them: `record` gets the
// line and its fields (at most `Fields`). Unless the text is the `last` part,
// a line whose end it does not hold is left, as is a "\r" at its very end,
// which a "\n" may follow; returns the bytes taken.
template <std::size_t Fields, typename Record>
std::size_t for_each_whole_record(std::string_view text, bool last, Record record) {
    std::string_view fields[Fields];
    const char* data = text.data();
    std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        std::size_t line_start = i;
        std::size_t field_start = i;
        std::size_t count = 0;
        for (;; ++i) {
            while (i < size && !kRecordStops[static_cast<unsigned char>(data[i])])
                ++i;
            if (i == size || data[i] != ',')
                break;
            if (count < Fields)
                fields[count++] = std::string_view(data + field_start, i - field_start);
            field_start = i + 1;
        }
        if (!last && (i == size || (data[i] == '\r' && i + 1 == size)))
            return line_start;
        // A last value without its "," is a field; the "," after the last does not start one.
        if (field_start < i && count < Fields)
            fields[count++] = std::string_view(data + field_start, i - field_start);
        record(std::string_view(data + line_start, i - line_start),
               std::span<const std::string_view>(fields, count));
        if (i < size)
            i += data[i] == '\r' && i + 1 < size && data[i + 1] == '\n' ? 2 : 1;
    }
    return size;
}

// The lines of a whole text with their first `Fields` fields each, in one
// pass over the text.
template <std::size_t Fields, typename Record>
void for_each_record(std::string_view text, Record record) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    for_each_whole_record<Fields>(text, true, record);
}

enum class FileRead {
    missing,  // nothing there: no records
    read,     // every record handed on
    unread,   // there, but not read to its end
};

// A part of a file read at a time: some pages that stay mapped, where a copy
// of the whole file would be fresh pages at every load.
inline constexpr std::size_t kFilePart = 64 * 1024;

// The records of a file that may be missing, as for_each_record has them in
// its whole text, read `part` bytes at a time. When it could not be read to
// its end, the records handed on so far are no account of the file.
template <std::size_t Fields, typename Record>
FileRead for_each_record_in_file(const std::filesystem::path& path, Record record,
                                 std::size_t part = kFilePart) {
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found)
        return FileRead::missing;
    platform::FileReader file(path);
    if (!file.is_open())
        return FileRead::unread;
    std::string buffer(std::max<std::size_t>(part, 1), '\0');
    std::size_t held = 0;  // the start of a line the last part did not end
    bool first = true;
    for (;;) {
        // A line longer than the buffer: room for more of it.
        if (held == buffer.size())
            buffer.resize(2 * buffer.size());
        std::optional<std::size_t> got =
            file.read(std::span<char>(buffer.data() + held, buffer.size() - held));
        if (!got)
            return FileRead::unread;
        bool last = *got == 0;
        std::string_view text(buffer.data(), held + *got);
        if (first) {
            // Too little yet to tell a byte-order mark from a line.
            if (!last && text.size() < kByteOrderMark.size() && kByteOrderMark.starts_with(text)) {
                held = text.size();
                continue;
            }
            if (text.starts_with(kByteOrderMark))
                text.remove_prefix(kByteOrderMark.size());
            first = false;
        }
        std::size_t taken = for_each_whole_record<Fields>(text, last, record);
        if (last)
            return FileRead::read;
        held = text.size() - taken;
        std::memmove(buffer.data(), text.data() + taken, held);
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
