#include "transit/route_links.h"

#include "core/geometry.h"

namespace corvalen {

std::int32_t find_by_link(const std::vector<RoutePoint>& points, std::int32_t link_x,
                          std::int32_t link_y) {
    if (link_x == 0 && link_y == 0)
        return -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (whole_metres(points[i].x) == link_x && whole_metres(points[i].y) == link_y)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

std::int32_t next_point(const std::vector<RoutePoint>& points, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= points.size())
        return -1;
    const RoutePoint& point = points[static_cast<std::size_t>(index)];
    std::int32_t next = find_by_link(points, point.link_x, point.link_y);
    // Confirming a connection without moving links a point to itself: a
    // vehicle would arrive there for ever. The file keeps it as made.
    return next == index ? -1 : next;
}

}  // namespace corvalen
