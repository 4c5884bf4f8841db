#pragma once
// The colour a route point is marked in by its kind, as the editor's
// inspector marks it (and as maps of the network show it).

#include "host/host_game.h"
#include "transit/route_point.h"

namespace corvalen {

host::Rgba inspector_colour(const RoutePoint& point);

}  // namespace corvalen
