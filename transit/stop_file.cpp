#include "transit/stop_file.h"

#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "core/csv.h"
#include "core/geometry.h"
#include "core/skip_reason.h"
#include "core/text_number.h"

namespace corvalen {
namespace {

constexpr std::size_t kFieldsPerPoint = 8;

using Position = std::pair<std::int32_t, std::int32_t>;

bool within_links(float coordinate) {
    return coordinate >= -2147483648.0f && coordinate < 2147483648.0f;
}

// One stop-file line; nothing when it is short or a numeric field does not
// read (not a number, or out of range), with the reason in `why` when given.
std::optional<RoutePoint> read_point(std::string_view line, std::string* why) {
    std::vector<std::string_view> fields = split_fields(line);
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

}  // namespace

std::vector<RoutePoint> parse_stop_lines(const std::vector<std::string>& lines,
                                         std::vector<std::string>* kept,
                                         std::vector<SkippedLine>* skipped) {
    std::vector<RoutePoint> points;
    // Truncated positions of the points read so far, with the line each came
    // from: a later line at one of them is a duplicate. (0, 0) is never one.
    std::map<Position, std::size_t> taken;
    std::string why;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string& line = lines[index];
        std::optional<RoutePoint> point = read_point(line, skipped != nullptr ? &why : nullptr);
        if (!point) {
            if (kept != nullptr)
                keep_line(*kept, line);
            if (skipped != nullptr && !line.empty())
                skipped->push_back({index, why});
            continue;
        }
        // The position as links and the next load see it: the truncated
        // float. An integer reading of the text differs from it for "1e3",
        // and let in points that the next load, reading what the save
        // wrote, dropped as duplicates.
        Position at{whole_metres(point->x), whole_metres(point->y)};
        if (at != Position{0, 0}) {
            auto [earlier, added] = taken.emplace(at, index);
            if (!added) {
                // Written back all the same: once the point holding its place
                // is moved or deleted, the next load takes it.
                if (kept != nullptr)
                    keep_line(*kept, line);
                if (skipped != nullptr) {
                    skipped->push_back({index, "line " + std::to_string(earlier->second + 1) +
                                                   " holds a point at the same whole metres (" +
                                                   std::to_string(at.first) + ", " +
                                                   std::to_string(at.second) + ")"});
                }
                continue;
            }
        }
        points.push_back(*point);
    }
    return points;
}

}  // namespace corvalen
