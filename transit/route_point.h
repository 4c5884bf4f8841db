#pragma once
// One point of a transit service's route network, placed by the player and
// stored in the service's stop file.

#include <cstdint>

#include "host/host_game.h"

namespace corvalen {

// Handles and indices the transit service keeps use -1 for "none".
inline constexpr host::Handle kNoHandle = static_cast<host::Handle>(-1);

enum class RoutePointType : std::int32_t {
    BusStop = 0,       // vehicles halt and dwell; captures wandering vehicles
    SpawnSpot = 1,     // where boats and ships are created
    WayPoint = 2,      // passed through, reached only through connections
    CapturePoint = 3,  // passed through; captures wandering vehicles
};
// Files may also hold type 4 (drawn in its own colour, passed through like
// the others) or any other number, which is passed through as well.

struct RoutePoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float heading = 0.0f;  // degrees: the way a vehicle should face here
    host::Handle blip = kNoHandle;
    // The connection: the truncated x and y of the next point; both 0 is none.
    std::int32_t link_x = 0;
    std::int32_t link_y = 0;
    std::int32_t type = 0;  // a RoutePointType
    bool backwards = false;
    // Game timer of the last vehicle spawned here, and whether one was since
    // the points were loaded or spawning was reset: until then the point may
    // spawn whatever the timer reads.
    std::uint32_t last_spawn = 0;
    bool spawned = false;

    bool is(RoutePointType kind) const { return type == static_cast<std::int32_t>(kind); }
    // Vehicles only start along a link whose both values are set.
    bool has_full_link() const { return link_x != 0 && link_y != 0; }
    // Stops and capture points take wandering vehicles back into the network.
    bool captures() const {
        return is(RoutePointType::BusStop) || is(RoutePointType::CapturePoint);
    }
    host::Vec3 position() const { return {x, y, z}; }
};

}  // namespace corvalen
