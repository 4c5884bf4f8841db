#include "transit/stop_file.h"

#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "core/csv.h"
#include "core/geometry.h"
#include "core/text_number.h"

namespace corvalen {
namespace {

constexpr std::size_t kFieldsPerPoint = 8;

using Position = std::pair<std::int32_t, std::int32_t>;

bool within_links(float coordinate) {
    return coordinate >= -2147483648.0f && coordinate < 2147483648.0f;
}

// One stop-file line; nothing when it is short or a numeric field does not
// read (not a number, or out of range).
std::optional<RoutePoint> read_point(std::string_view line) {
    std::vector<std::string_view> fields = split_fields(line);
    if (fields.size() < kFieldsPerPoint)
        return std::nullopt;
    std::optional<float> x = float_field(fields[0]);
    std::optional<float> y = float_field(fields[1]);
    std::optional<float> z = float_field(fields[2]);
    std::optional<float> heading = float_field(fields[3]);
    std::optional<std::int32_t> type = int_field(fields[4]);
    std::optional<std::int32_t> backwards = int_field(fields[5]);
    std::optional<std::int32_t> link_x = int_field(fields[6]);
    std::optional<std::int32_t> link_y = int_field(fields[7]);
    if (!x || !y || !z || !heading || !type || !backwards || !link_x || !link_y)
        return std::nullopt;
    // A position must have whole metres that a link can name.
    if (!within_links(*x) || !within_links(*y))
        return std::nullopt;
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
                                         std::vector<std::string>* kept) {
    std::vector<RoutePoint> points;
    // Truncated positions of the points read so far: a later line at one of
    // them is a duplicate. (0, 0) is never one.
    std::set<Position> taken;
    for (const std::string& line : lines) {
        std::optional<RoutePoint> point = read_point(line);
        if (!point) {
            if (kept != nullptr)
                keep_line(*kept, line);
            continue;
        }
        // The position as links and the next load see it: the truncated
        // float. An integer reading of the text differs from it for "1e3",
        // and let in points that the next load, reading what the save
        // wrote, dropped as duplicates.
        Position at{whole_metres(point->x), whole_metres(point->y)};
        if (at != Position{0, 0} && taken.count(at) != 0)
            continue;
        taken.insert(at);
        points.push_back(*point);
    }
    return points;
}

}  // namespace corvalen
