// The typed host interface for people the mod brings into the game and keeps
// with the player: where one may appear, the player's group, a companion's
// settings and farewell. Natives with a bound wrapper go through it.

#include "host/host_game.h"
#include "host/native_forms.h"
#include "host/natives.h"

namespace corvalen::host {
namespace {

// The natives below that have no bound wrapper in host/natives.h.
namespace hash {
constexpr NativeHash kPlayerGroup = 0x41AB3C30;
constexpr NativeHash kGroupSeparation = 0x22DD329E;
constexpr NativeHash kGroupLeader = 0x04C85E23;
constexpr NativeHash kPlayerGroupFollows = 0x700165C2;
constexpr NativeHash kCharacterFlees = 0x0F4C513E;
constexpr NativeHash kCharacterRoaming = 0x127669D3;
constexpr NativeHash kSetCharacterHealth = 0x08A453C9;
constexpr NativeHash kSetCharacterArmour = 0x575E2880;
constexpr NativeHash kCharacterBlip = 0x19A64C5D;
constexpr NativeHash kCharacterInjured = 0x6A6B4F18;
constexpr NativeHash kLeaveGroup = 0x649316B7;
constexpr NativeHash kCharacterLeft = 0x1DD624A0;
}  // namespace hash

// A spawn point's range around the position asked about.
constexpr float kSpawnPointRange = 1.0f;

}  // namespace

std::optional<Vec3> spawn_point_near(Vec3 at) {
    Vec3 point;
    float heading = 0.0f;
    std::int32_t node = 0;
    if (!in_frame(natives::find_spawn_point, at.x, at.y, at.z, kSpawnPointRange, &point.x, &point.y,
                  &point.z, &heading, &node)) {
        return std::nullopt;
    }
    return point;
}

Handle player_group(Handle cash_player) {
    return read_out(hash::kPlayerGroup, cash_player, Handle{0});
}

void set_group_separation(Handle group, float metres) {
    tell(hash::kGroupSeparation, group, metres);
}

void set_group_leader(Handle group, Handle character) {
    tell(hash::kGroupLeader, group, character);
}

void set_player_group_follows(std::int32_t player, bool follows) {
    tell(hash::kPlayerGroupFollows, slot(player), follows);
}

void set_character_flees(Handle character, bool flees) {
    tell(hash::kCharacterFlees, character, flees);
}

void set_character_behaviour(Handle character, std::int32_t behaviour) {
    in_frame(natives::set_character_behaviour, character, behaviour);
}

void set_character_roaming(Handle character, float metres) {
    tell(hash::kCharacterRoaming, character, metres);
}

void set_character_health(Handle character, std::int32_t health) {
    tell(hash::kSetCharacterHealth, character, slot(health));
}

void set_character_armour(Handle character, std::int32_t armour) {
    tell(hash::kSetCharacterArmour, character, slot(armour));
}

Handle add_character_blip(Handle character) {
    return read_out(hash::kCharacterBlip, character, Handle{0});
}

bool character_injured(Handle character) {
    return ask(hash::kCharacterInjured, character);
}

void leave_group(Handle character) {
    tell(hash::kLeaveGroup, character);
}

void stop_following(Handle character) {
    in_frame(natives::stop_following, character);
}

bool character_left(Handle character, Handle other) {
    return in_frame([&] {
        return as_bool(call_native(hash::kCharacterLeft, {slot(character), slot(other), slot(0)}));
    });
}

}  // namespace corvalen::host
