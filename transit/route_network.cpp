// The route network of a transit service: its stop file, placing points, and
// the searches the vehicles, the driver mission and the editor use.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>

#include "core/atomic_file.h"
#include "core/csv.h"
#include "core/game_timer.h"
#include "core/geometry.h"
#include "core/host_distance.h"
#include "core/player.h"
#include "core/text_number.h"
#include "transit/stop_file.h"
#include "transit/transit_service.h"

namespace corvalen {
namespace {

// Points loaded together get a random spawn time below this, so that they do
// not tie when spawning looks for the least recently used one.
constexpr std::int32_t kLoadedSpawnSpread = 99;
// A capturable point must not lie farther than this north or south.
constexpr float kCaptureLatitudeLimit = 450.0f;

using Position = std::pair<std::int32_t, std::int32_t>;

Position truncated(const RoutePoint& point) {
    return {whole_metres(point.x), whole_metres(point.y)};
}

}  // namespace

bool TransitService::load_points() {
    // The reader fills the grid's table of positions as it finds the
    // duplicates: the same table, filled once.
    PositionTable first_of_position = grid.take_positions();
    FileRead read =
        read_stop_file(data_path(data_folder, stops_file), points, first_of_position, &kept_lines);
    stops_file_unread = read == FileRead::unread;
    for (RoutePoint& point : points)
        point.last_spawn = static_cast<std::uint32_t>(roll(spawn_dice, 0, kLoadedSpawnSpread));
    grid.build(points, std::move(first_of_position));
    return !stops_file_unread;
}

bool TransitService::save_points() const {
    if (stops_file_unread)
        return false;
    std::string text;
    // "-1234.56," four times and three short integers: room for most lines.
    text.reserve(points.size() * 64);
    for (const RoutePoint& point : points) {
        append_field(text, point.x);
        append_field(text, point.y);
        append_field(text, point.z);
        append_field(text, point.heading);
        append_field(text, point.type);
        append_field(text, std::int32_t{point.backwards ? 1 : 0});
        append_field(text, point.link_x);
        append_field(text, point.link_y);
        text += '\n';
    }
    append_kept_lines(text, kept_lines);
    keep_first_line_whole(text);
    return replace_file(data_path(data_folder, stops_file), text);
}

bool TransitService::add_point(RoutePointType type) {
    std::optional<host::Vec3> at = player_position();
    if (!at)
        return false;
    RoutePoint point;
    point.x = at->x;
    point.y = at->y;
    point.z = at->z;
    point.heading = host::character_heading(player_character());
    point.type = static_cast<std::int32_t>(type);

    Position position = truncated(point);
    if (position != Position{0, 0}) {
        for (const RoutePoint& other : points) {
            // Failures are silent, as everywhere in the mod.
            if (truncated(other) == position)
                return false;
        }
    }
    points.push_back(point);
    index_points();
    save_points();
    return true;
}

std::int32_t TransitService::find_by_link(std::int32_t link_x, std::int32_t link_y) const {
    if (link_x == 0 && link_y == 0)
        return -1;
    return point_grid().first_at(link_x, link_y);
}

std::int32_t TransitService::next_point(std::int32_t index) const {
    // The free next_point with the indexed search: every vehicle asks this.
    if (!valid_point(index))
        return -1;
    const RoutePoint& point = points[static_cast<std::size_t>(index)];
    std::int32_t next = find_by_link(point.link_x, point.link_y);
    return next == index ? -1 : next;
}

std::int32_t TransitService::nearest_point(float x, float y) const {
    // Candidates come in index order, so the first point among equals wins
    // as in a scan of every point.
    std::span<const std::int32_t> candidates = point_grid().nearest_candidates(x, y, points);
    auto range = [&](std::size_t k) {
        const RoutePoint& point = points[static_cast<std::size_t>(candidates[k])];
        return horizontal_distance_range(x, y, point.x, point.y);
    };
    double bound = nearest_bound(candidates.size(), range);
    std::int32_t nearest = -1;
    float best = std::numeric_limits<float>::infinity();
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (!may_be_nearest(range(k), bound))
            continue;
        std::int32_t i = candidates[k];
        const RoutePoint& point = points[static_cast<std::size_t>(i)];
        float distance = host::distance_2d(x, y, point.x, point.y);
        // The first point is taken whatever its distance, as by a scan of
        // every point; one left out here lies farther than the nearest.
        if (distance < best || i == 0) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

std::int32_t TransitService::nearest_capturable(host::Vec3 position, float heading, float max_angle,
                                                RecentPoints excluded, float* distance) const {
    auto eligible = [&](const RoutePoint& point, std::int32_t index) {
        if (!point.captures() ||
            std::find(excluded.begin(), excluded.end(), index) != excluded.end())
            return false;
        if (!in_square(point.x, point.y, position.x, position.y, search_extent))
            return false;
        if (heading > 0.0f && !(std::fabs(heading_difference(heading, point.heading)) < max_angle))
            return false;
        return !(std::fabs(point.y - position.y) > kCaptureLatitudeLimit);
    };
    std::span<const std::int32_t> candidates =
        point_grid().around(position.x, position.y, static_cast<double>(search_extent));
    auto range = [&](std::size_t k) {
        std::int32_t index = candidates[k];
        const RoutePoint& point = points[static_cast<std::size_t>(index)];
        if (!eligible(point, index))
            return DistanceRange{};
        return horizontal_distance_range(position.x, position.y, point.x, point.y);
    };
    double bound = nearest_bound(candidates.size(), range);
    std::int32_t nearest = -1;
    float best = std::numeric_limits<float>::infinity();
    for (std::int32_t index : candidates) {
        const RoutePoint& point = points[static_cast<std::size_t>(index)];
        if (!eligible(point, index))
            continue;
        if (!may_be_nearest(horizontal_distance_range(position.x, position.y, point.x, point.y),
                            bound))
            continue;
        float d = host::distance_2d(position.x, position.y, point.x, point.y);
        if (d < best) {
            best = d;
            nearest = index;
        }
    }
    if (distance != nullptr)
        *distance = best;
    return nearest;
}

void TransitService::reset_spawning() {
    // Called after the host loaded a game, which took away the vehicles,
    // drivers, groups and people of the world before: their handles are
    // forgotten unasked, since the loaded game may already use them for its
    // own (a parked bus of the game's that the mission drove keeps its handle
    // but not the group it had).
    vehicles.clear();
    mission_vehicle.reset();
    mission_active = false;
    releases.clear();
    // Blips at fixed points stay through a load. The route's belongs to a
    // mission that is over; the inspector marks its target afresh.
    if (mission_blip != kNoHandle) {
        host::remove_blip(mission_blip);
        mission_blip = kNoHandle;
    }
    drop_inspector_blip();
    player_fare_due = false;
    update_cursor = 0;
    for (RoutePoint& point : points) {
        point.last_spawn = 0;
        point.spawned = false;
    }
    next_spawn_time = after(host::game_timer(), first_spawn_delay);
    status.until = 0;
}

}  // namespace corvalen
