// The typed host interface for traffic: the vehicles the mod creates and
// drives, their drivers and groups. Natives with a bound wrapper go through
// it; the others through the wrappers whose hash the caller gives.

#include "host/host_game.h"
#include "host/native_forms.h"
#include "host/natives.h"

namespace corvalen::host {
namespace {

// The natives below that have no bound wrapper in host/natives.h.
namespace hash {
constexpr NativeHash kClaimVehicle = 0x210A33B2;
constexpr NativeHash kSettleVehicle = 0x0E717E98;
constexpr NativeHash kSetVehicleHeading = 0x75E40528;
constexpr NativeHash kCreateDriver = 0x31CD5F18;
constexpr NativeHash kAddVehicleBlip = 0x6D21564D;
constexpr NativeHash kVehicleHeading = 0x46803CFA;
constexpr NativeHash kVehicleHealth = 0x4D417CD3;
constexpr NativeHash kVehicleDamagedBy = 0x61487DBF;
constexpr NativeHash kCloseVehicleDoors = 0x56B8674F;
constexpr NativeHash kVehicleInService = 0x1B8B3973;
constexpr NativeHash kReleaseVehicle = 0x20C76FD1;
constexpr NativeHash kCharacterExists = 0x46531797;
constexpr NativeHash kCharacterDead = 0x4ECB2267;
constexpr NativeHash kCharacterHealth = 0x4B6C2256;
constexpr NativeHash kCharacterHeading = 0x057A3AC7;
constexpr NativeHash kCharacterInInterior = 0x28A73BCA;
constexpr NativeHash kCharacterInThisVehicle = 0x7D037B40;
constexpr NativeHash kClaimCharacter = 0x60EC0540;
constexpr NativeHash kCharacterClaimed = 0x05801768;
constexpr NativeHash kSetCharacterMoney = 0x7B44224F;
constexpr NativeHash kClearCharacterOrders = 0x4AB470F3;
constexpr NativeHash kClearCharacterReactions = 0x7FC96DD5;
constexpr NativeHash kCharacterKeepsOrders = 0x264009D3;
constexpr NativeHash kReleaseCharacter = 0x0B774604;
constexpr NativeHash kGroupFormation = 0x64B9757E;
constexpr NativeHash kAddToGroup = 0x5E0F611E;
constexpr NativeHash kReleaseGroup = 0x250C2D39;
constexpr NativeHash kPlayerWantedAbove = 0x7DA4736D;
}  // namespace hash

constexpr Handle kNoHandleWritten = static_cast<Handle>(-1);

}  // namespace

bool can_create_vehicles() {
    return in_frame(natives::can_create_vehicles);
}

void clear_area(Vec3 at, float radius) {
    in_frame(natives::clear_area, at.x, at.y, at.z, radius);
}

void claim_vehicle(Handle vehicle) {
    tell(hash::kClaimVehicle, vehicle);
}

void settle_vehicle_on_ground(Handle vehicle) {
    tell(hash::kSettleVehicle, vehicle);
}

void set_vehicle_heading(Handle vehicle, float degrees) {
    tell(hash::kSetVehicleHeading, vehicle, degrees);
}

Handle create_driver(Handle vehicle) {
    return read_out(hash::kCreateDriver, vehicle, kNoHandleWritten);
}

Handle add_vehicle_blip(Handle vehicle) {
    return read_out(hash::kAddVehicleBlip, vehicle, kNoHandleWritten);
}

float vehicle_heading(Handle vehicle) {
    return read_out(hash::kVehicleHeading, vehicle, 0.0f);
}

std::int32_t vehicle_health(Handle vehicle) {
    return read_out(hash::kVehicleHealth, vehicle, std::int32_t{0});
}

bool vehicle_damaged_by(Handle vehicle, Handle character) {
    return ask(hash::kVehicleDamagedBy, vehicle, character);
}

void close_vehicle_doors(Handle vehicle) {
    tell(hash::kCloseVehicleDoors, vehicle);
}

void set_vehicle_in_service(Handle vehicle, bool in_service) {
    tell(hash::kVehicleInService, vehicle, in_service);
}

void release_vehicle(Handle vehicle) {
    tell(hash::kReleaseVehicle, slot(&vehicle));
}

bool character_exists(Handle character) {
    return ask(hash::kCharacterExists, character);
}

bool character_dead(Handle character) {
    return ask(hash::kCharacterDead, character);
}

std::uint32_t character_health(Handle character) {
    return read_out(hash::kCharacterHealth, character, std::uint32_t{0});
}

float character_heading(Handle character) {
    return read_out(hash::kCharacterHeading, character, 0.0f);
}

bool character_in_interior(Handle character) {
    return ask(hash::kCharacterInInterior, character);
}

bool character_in_this_vehicle(Handle character, Handle vehicle) {
    return ask(hash::kCharacterInThisVehicle, character, vehicle);
}

void claim_character(Handle character) {
    tell(hash::kClaimCharacter, character);
}

bool character_claimed(Handle character) {
    return ask(hash::kCharacterClaimed, character);
}

void set_character_money(Handle character, std::int32_t amount) {
    tell(hash::kSetCharacterMoney, character, slot(amount));
}

void clear_character_orders(Handle character) {
    tell(hash::kClearCharacterOrders, character);
}

void clear_character_reactions(Handle character) {
    tell(hash::kClearCharacterReactions, character);
}

void set_character_keeps_orders(Handle character, bool keeps) {
    tell(hash::kCharacterKeepsOrders, character, keeps);
}

void release_character(Handle character) {
    tell(hash::kReleaseCharacter, slot(&character));
}

Handle create_group() {
    Handle group = kNoHandleWritten;
    in_frame(natives::create_group, &group);
    return group;
}

void set_group_formation(Handle group, std::int32_t formation) {
    tell(hash::kGroupFormation, group, slot(formation));
}

void set_up_group(Handle group) {
    set_group_formation(group, 0);
    in_frame(natives::set_up_group, group);
}

void add_to_group(Handle group, Handle character) {
    tell(hash::kAddToGroup, group, character);
}

void release_group(Handle group) {
    tell(hash::kReleaseGroup, group);
}

void order_wander(Handle driver, Handle vehicle, float speed, std::int32_t style) {
    in_frame(natives::order_wander, driver, vehicle, speed, style);
}

void order_drive_to(Handle driver, Handle vehicle, Vec3 to, float speed, std::int32_t approach,
                    std::int32_t style, float range) {
    in_frame(natives::order_drive_to, driver, vehicle, to.x, to.y, to.z, speed, approach, style,
             range);
}

bool player_wanted_above(Handle player, std::int32_t level) {
    return ask(hash::kPlayerWantedAbove, player, slot(level));
}

}  // namespace corvalen::host
