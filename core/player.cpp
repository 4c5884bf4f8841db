#include "core/player.h"

namespace corvalen {

host::Handle player_character() {
    return host::player_character(host::player_index());
}

host::Handle player_vehicle() {
    return host::character_vehicle(player_character());
}

std::uint32_t player_vehicle_object() {
    host::Handle vehicle = player_vehicle();
    return vehicle == 0 ? 0 : host::vehicle_object(vehicle);
}

bool player_not_driving() {
    host::Handle character = player_character();
    if (character == 0 || !host::character_in_vehicle(character))
        return true;
    return host::vehicle_driver(host::character_vehicle(character)) != character;
}

std::optional<host::Vec3> player_position() {
    std::optional<host::Matrix> matrix = host::player_matrix();
    if (!matrix)
        return std::nullopt;
    return matrix->position();
}

host::Handle nearest_vehicle(float x, float y, float z, float radius) {
    return host::nearest_vehicle_at({x, y, z}, radius);
}

}  // namespace corvalen
