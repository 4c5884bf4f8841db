// The typed host interface for passengers: people found near a vehicle, told
// to board or leave it, and what they say.

#include "host/host_game.h"
#include "host/native_forms.h"
#include "host/natives.h"

namespace corvalen::host {
namespace {

// The natives below that have no bound wrapper in host/natives.h.
namespace hash {
constexpr NativeHash kOrderLeaveVehicle = 0x1114089D;
constexpr NativeHash kOrderWalkAway = 0x43F5151F;
constexpr NativeHash kBoardingStaysOnOrder = 0x1A02748F;
constexpr NativeHash kPlayerEntryMode = 0x02033258;
constexpr NativeHash kPlayerBoardingFirst = 0x67CC007C;
constexpr NativeHash kPlayerBoardingSecond = 0x458C333D;
constexpr NativeHash kEndVehicleService = 0x41E45BE5;
}  // namespace hash

// The behaviour a boarder gets, and the player's entry as a passenger.
constexpr std::int32_t kBoardingBehaviour = 1;
constexpr std::int32_t kPassengerEntryMode = 4;

}  // namespace

Handle character_in_seat(Handle vehicle, std::int32_t seat) {
    Handle character = static_cast<Handle>(-1);
    in_frame(natives::character_in_seat, vehicle, seat, &character);
    return character;
}

Handle find_character_near(Vec3 at, float radius) {
    Handle character = 0;
    if (!in_frame(natives::find_character_near, at.x, at.y, at.z, radius, &character))
        return 0;
    return character;
}

void allow_character_orders() {
    in_frame(natives::allow_character_orders);
}

void order_enter_vehicle(Handle character, Handle vehicle, std::int32_t time_limit,
                         std::int32_t seat) {
    in_frame(natives::order_enter_vehicle, character, vehicle, time_limit, seat);
}

void order_leave_vehicle(Handle character) {
    tell(hash::kOrderLeaveVehicle, character);
}

void order_walk_away(Handle character) {
    tell(hash::kOrderWalkAway, character);
}

void set_boarding_behaviour(Handle character) {
    set_character_behaviour(character, kBoardingBehaviour);
    tell(hash::kBoardingStaysOnOrder, character, slot(std::int32_t{1}));
}

void prepare_player_boarding(Handle character, Handle vehicle) {
    tell(hash::kPlayerBoardingFirst, character, slot(std::int32_t{0}));
    tell(hash::kPlayerBoardingSecond, character, slot(std::int32_t{0}));
    keep_vehicle(vehicle);
}

void prepare_player_entry() {
    tell(hash::kPlayerEntryMode, slot(kPassengerEntryMode));
}

void say(Handle character, const char* speech) {
    in_frame(natives::say_speech, character, speech);
}

void end_vehicle_service(Handle vehicle) {
    tell(hash::kEndVehicleService, vehicle);
}

}  // namespace corvalen::host
