#pragma once
// The player as the features need it: character, vehicle, position, and
// whether the player is the one driving.

#include <cstdint>
#include <optional>

#include "host/host_game.h"

namespace corvalen {

// The player's character handle, 0 when there is none.
host::Handle player_character();
// The vehicle the player's character is in, 0 when none.
host::Handle player_vehicle();
// The host's object of the player's vehicle; 0 (without a pool lookup) when
// the player has no vehicle.
std::uint32_t player_vehicle_object();
// True unless the player's character sits in a vehicle as its driver; a
// passenger is not driving.
bool player_not_driving();
// The player's position (fourth row of the player matrix); none while the
// host has no player object.
std::optional<host::Vec3> player_position();
// The vehicle nearest to a point within `radius`, 0 when none.
host::Handle nearest_vehicle(float x, float y, float z, float radius);

}  // namespace corvalen
