#pragma once
// How a connection finds its target: by the truncated position it names, so
// that deleting or reordering points never leaves a link on the wrong index.
// The services and the modders' check tool follow links the same way.

#include <cstdint>
#include <vector>

#include "transit/route_point.h"

namespace corvalen {

// The first point at the named whole metres; -1 for "no connection" (both 0)
// and for a position that holds no point.
std::int32_t find_by_link(const std::vector<RoutePoint>& points, std::int32_t link_x,
                          std::int32_t link_y);

// The point a vehicle leaving `index` heads for; -1 when there is none.
std::int32_t next_point(const std::vector<RoutePoint>& points, std::int32_t index);

}  // namespace corvalen
