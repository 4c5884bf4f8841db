// The lie of the land: ground height and a few named streets around the start.

#include <cmath>

#include "hostsim/world.h"

namespace hostsim {
namespace {

constexpr float kLandHeight = 5.0f;
constexpr float kSeaNorthOf = 600.0f;  // beyond this y lies open water
constexpr float kLandHalfWidth = 1000.0f;

bool contains(const MapStreet& street, Vec3 point) {
    return street.min_x <= point.x && point.x <= street.max_x && street.min_y <= point.y &&
           point.y <= street.max_y;
}

}  // namespace

const std::vector<MapStreet>& map_streets() {
    // Harbour Road and Cedar Avenue cross where the player starts.
    static const std::vector<MapStreet> kStreets = {
        {0x11, "Harbour Road", -600.0f, 25.0f, 600.0f, 45.0f},
        {0x12, "Cedar Avenue", -130.0f, -600.0f, -110.0f, 600.0f},
        {0x13, "Market Street", -600.0f, -320.0f, 600.0f, -300.0f},
        {0x14, "Ferry Lane", 230.0f, -600.0f, 250.0f, 600.0f},
        {0x15, "Station Square", -40.0f, 100.0f, 40.0f, 180.0f},
    };
    return kStreets;
}

MapLand map_land() {
    return {-kLandHalfWidth, kLandHalfWidth, kSeaNorthOf};
}

float World::ground_height(Vec3 point) const {
    if (point.y > kSeaNorthOf || std::fabs(point.x) > kLandHalfWidth)
        return 0.0f;
    return kLandHeight;
}

std::array<std::int32_t, 2> World::streets_at(Vec3 point) const {
    std::array<std::int32_t, 2> found{0, 0};
    std::size_t count = 0;
    for (const MapStreet& street : map_streets()) {
        if (count < found.size() && contains(street, point))
            found[count++] = street.id;
    }
    return found;
}

const char* World::street_name(std::int32_t id) const {
    for (const MapStreet& street : map_streets()) {
        if (street.id == id)
            return street.name;
    }
    return nullptr;
}

}  // namespace hostsim
