#include "transit/point_colour.h"

namespace corvalen {

host::Rgba inspector_colour(const RoutePoint& point) {
    switch (point.type) {
        case static_cast<std::int32_t>(RoutePointType::BusStop):
            if (point.has_full_link())
                return {128, 0, 0};
            return point.backwards ? host::Rgba{120, 120, 0} : host::Rgba{0, 128, 0};
        case static_cast<std::int32_t>(RoutePointType::SpawnSpot):
            return {0, 0, 128};
        case static_cast<std::int32_t>(RoutePointType::WayPoint):
            return {60, 20, 128};
        case static_cast<std::int32_t>(RoutePointType::CapturePoint):
            return {128, 0, 128};
        case 4:
            return {0, 128, 128};
        default:
            return {128, 128, 128};  // a kind no editor makes
    }
}

}  // namespace corvalen
