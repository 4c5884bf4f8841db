#include "transit/stop_file.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "core/csv.h"
#include "core/geometry.h"
#include "core/skip_reason.h"
#include "core/text_number.h"
#include "transit/position_table.h"

namespace corvalen {
namespace {

constexpr std::size_t kFieldsPerPoint = 8;

bool within_links(float coordinate) {
    return coordinate >= -2147483648.0f && coordinate < 2147483648.0f;
}

// One stop-file line; nothing when it is short or a numeric field does not
// read (not a number, or out of range), with the reason in `why` when given.
std::optional<RoutePoint> read_point(std::span<const std::string_view> fields, std::string* why) {
    if (!enough_values(fields.size(), kFieldsPerPoint, why))
        return std::nullopt;
    std::optional<float> x = float_field(fields[0]);
    std::optional<float> y = float_field(fields[1]);
    std::optional<float> z = float_field(fields[2]);
    std::optional<float> heading = float_field(fields[3]);
    std::optional<std::int32_t> type = int_field(fields[4]);
    std::optional<std::int32_t> backwards = int_field(fields[5]);
    std::optional<std::int32_t> link_x = int_field(fields[6]);
    std::optional<std::int32_t> link_y = int_field(fields[7]);
    if (!fields_read({{"x", x.has_value()},
                      {"y", y.has_value()},
                      {"z", z.has_value()},
                      {"heading", heading.has_value()},
                      {"type", type.has_value()},
                      {"backwards", backwards.has_value()},
                      {"link x", link_x.has_value()},
                      {"link y", link_y.has_value()}},
                     why)) {
        return std::nullopt;
    }
    // A position must have whole metres that a link can name.
    if (!within_links(*x) || !within_links(*y)) {
        refuse(why, "its position lies beyond what a link can name");
        return std::nullopt;
    }
    RoutePoint point;
    point.x = *x;
    point.y = *y;
    point.z = *z;
    point.heading = *heading;
    point.type = *type;
    point.backwards = *backwards != 0;
    point.link_x = *link_x;
    point.link_y = *link_y;
    return point;
}

// Reads the lines of a stop file one by one, in order.
class StopReader {
  public:
    // `lines`: about how many there will be.
    StopReader(std::vector<RoutePoint>& points, PositionTable& taken, std::size_t lines,
               std::vector<std::string>* kept, std::vector<SkippedLine>* skipped)
        : points_(points), taken_(taken), kept_(kept), skipped_(skipped) {
        // Far more room than this file needs is given back.
        if (points_.capacity() > 4 * lines)
            points_ = std::vector<RoutePoint>();
        points_.clear();
        points_.reserve(lines);
        taken_.reset(lines);
    }

    // A line and its first fields, as split_fields has them.
    void read(std::string_view line, std::span<const std::string_view> fields) {
        std::size_t index = next_++;
        std::optional<RoutePoint> point = read_point(fields, skipped_ != nullptr ? &why_ : nullptr);
        if (!point) {
            if (kept_ != nullptr)
                keep_line(*kept_, line);
            if (skipped_ != nullptr && !line.empty())
                skipped_->push_back({index, why_});
            return;
        }
        // The position as links and the next load see it: the truncated
        // float. An integer reading of the text differs from it for "1e3",
        // and let in points that the next load, reading what the save
        // wrote, dropped as duplicates. (0, 0) is never a duplicate; its
        // first point is noted all the same, as a link search would find it.
        std::int32_t x = whole_metres(point->x);
        std::int32_t y = whole_metres(point->y);
        std::optional<std::size_t> earlier = taken_.claim(x, y, points_.size());
        if (earlier && (x != 0 || y != 0)) {
            // Written back all the same: once the point holding its place
            // is moved or deleted, the next load takes it.
            if (kept_ != nullptr)
                keep_line(*kept_, line);
            if (skipped_ != nullptr) {
                skipped_->push_back({index, "line " + std::to_string(line_of_[*earlier] + 1) +
                                                " holds a point at the same whole metres (" +
                                                std::to_string(x) + ", " + std::to_string(y) +
                                                ")"});
            }
            return;
        }
        points_.push_back(*point);
        if (skipped_ != nullptr)
            line_of_.push_back(index);
    }

  private:
    std::vector<RoutePoint>& points_;
    PositionTable& taken_;
    std::vector<std::string>* kept_;
    std::vector<SkippedLine>* skipped_;
    std::vector<std::size_t> line_of_;  // of each point, when lines skipped are told
    std::size_t next_ = 0;
    std::string why_;
};

}  // namespace

std::vector<RoutePoint> parse_stop_lines(const std::vector<std::string>& lines,
                                         std::vector<std::string>* kept,
                                         std::vector<SkippedLine>* skipped) {
    std::vector<RoutePoint> points;
    PositionTable taken;
    StopReader reader(points, taken, lines.size(), kept, skipped);
    std::string_view fields[kFieldsPerPoint];
    for (const std::string& line : lines)
        reader.read(line, std::span(fields, split_fields(line, fields)));
    return points;
}

FileRead read_stop_file(const std::filesystem::path& path, std::vector<RoutePoint>& points,
                        PositionTable& first_of_position, std::vector<std::string>* kept) {
    if (kept != nullptr)
        kept->clear();
    std::error_code error;
    std::uintmax_t bytes = std::filesystem::file_size(path, error);
    // A stop line is some 40 bytes: room for most files without growing.
    std::size_t most_lines = static_cast<std::size_t>(
        std::min<std::uintmax_t>(error ? 0 : bytes / 40 + 1, points.max_size()));
    FileRead result = FileRead::unread;
    try {
        StopReader reader(points, first_of_position, most_lines, kept, nullptr);
        result = for_each_record_in_file<kFieldsPerPoint>(
            path, [&](std::string_view line, std::span<const std::string_view> fields) {
                reader.read(line, fields);
            });
    } catch (const std::exception&) {
        // Memory ran out: a file not read whole is not written over.
    }
    if (result == FileRead::unread) {
        points.clear();
        first_of_position.reset(0);
        if (kept != nullptr)
            kept->clear();
    }
    return result;
}

}  // namespace corvalen
