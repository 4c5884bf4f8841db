#include "autoservice/vehicle_controls.h"

#include <optional>

#include "autoservice/vehicle_condition.h"
#include "core/player.h"
#include "core/screen_text.h"

namespace corvalen {
namespace {

using host::ScanCode;

constexpr host::LampBytes kLampsOff{1, 1, 1, 1};
constexpr host::LampBytes kHazardLamps{0, 0, 0, 0};
constexpr host::LampBytes kLeftLamps{0, 1, 0, 1};
constexpr host::LampBytes kRightLamps{1, 0, 1, 0};

// Shift with the numeric keypad, door by door, in the driver's seat.
struct DoorKey {
    ScanCode key;
    std::int32_t door;
};
constexpr DoorKey kDoorKeys[] = {
    {ScanCode::Numpad4, 0}, {ScanCode::Numpad6, 1}, {ScanCode::Numpad1, 2},
    {ScanCode::Numpad3, 3}, {ScanCode::Numpad8, 4}, {ScanCode::Numpad2, 5},
};

}  // namespace

void VehicleControls::update() {
    host::Handle character = player_character();
    if (character == 0)
        return;
    if (host::character_in_vehicle(character)) {
        host::Handle driven = host::character_vehicle(character);
        if (driven != vehicle)
            take_over(driven);
        fixing = false;  // back in a vehicle: whatever repair was under way stops
        in_vehicle_keys();
        return;
    }

    if (vehicle == 0)
        return;
    if (fixing)
        repair_step();
    if (!host::key_held(ScanCode::LeftShift))
        return;
    if (host::key_pressed(ScanCode::F) && !fixing && host::vehicle_exists(vehicle)) {
        fixing = true;
        host::open_door(vehicle, kBonnet);
        door_open[kBonnet] = true;
        fix_deadline = host::game_timer() + kRepairMilliseconds;
    } else {
        if (host::key_pressed(ScanCode::Numpad8))
            toggle_door(kBonnet);
        if (host::key_pressed(ScanCode::Numpad2))
            toggle_door(kBoot);
    }
}

// The old vehicle's lamps and doors stay as they are.
void VehicleControls::take_over(host::Handle driven) {
    vehicle = driven;
    left_on = false;
    right_on = false;
    hazard_on = false;
    door_open = {};
    fixing = false;
}

void VehicleControls::in_vehicle_keys() {
    bool comma = host::key_pressed(ScanCode::Comma);
    bool full_stop = host::key_pressed(ScanCode::FullStop);
    if (comma && full_stop) {
        hazard_on = !hazard_on;
        set_indicators(hazard_on, hazard_on ? kHazardLamps : kLampsOff);
        left_on = false;
        right_on = false;
    } else if (comma) {
        // Pressed while the other side flashes, the key switches it off.
        if (right_on) {
            right_indicator();
        } else {
            left_indicator();
        }
    } else if (full_stop) {
        if (left_on) {
            left_indicator();
        } else {
            right_indicator();
        }
    }

    if (host::key_held(ScanCode::LeftShift)) {
        for (const DoorKey& door_key : kDoorKeys) {
            if (host::key_pressed(door_key.key))
                toggle_door(door_key.door);
        }
    }
}

void VehicleControls::left_indicator() {
    left_on = !left_on;
    if (left_on) {
        right_on = false;
        hazard_on = false;  // the lamps now show the left side only
    }
    set_indicators(left_on, left_on ? kLeftLamps : kLampsOff);
}

void VehicleControls::right_indicator() {
    right_on = !right_on;
    if (right_on) {
        left_on = false;
        hazard_on = false;
    }
    set_indicators(right_on, right_on ? kRightLamps : kLampsOff);
}

bool VehicleControls::vehicle_gone() const {
    return !host::vehicle_exists(vehicle);
}

void VehicleControls::set_indicators(bool on, const host::LampBytes& lamps) {
    if (vehicle_gone())
        return;
    host::set_indicator_lights(vehicle, on);
    host::set_lamp_bytes(host::vehicle_object(vehicle), lamps);
}

void VehicleControls::toggle_door(std::int32_t door) {
    if (vehicle_gone())
        return;
    auto index = static_cast<std::size_t>(door);
    if (door_open[index]) {
        host::shut_door(vehicle, door);
    } else {
        host::open_door(vehicle, door);
    }
    door_open[index] = !door_open[index];
}

void VehicleControls::repair_step() {
    std::optional<host::Vec3> player = player_position();
    if (vehicle_gone() || !player ||
        !(host::distance_3d(host::vehicle_position(vehicle), *player) < kRepairReach)) {
        fixing = false;  // walking away (or losing the vehicle) cancels the repair
        return;
    }
    std::uint32_t structure = host::vehicle_object(vehicle);
    // Wrap-around arithmetic: the deadline may lie past the timer's wrap.
    if (static_cast<std::int32_t>(host::game_timer() - fix_deadline) <= 0) {
        draw_text("Fixing vehicle...", 0.1f, 0.1f, 1.0f);
        draw_condition_panel(structure);
        return;
    }
    improve_condition(structure, kRepairPoints);
    host::set_engine_running(vehicle, true);
    host::shut_door(vehicle, kBonnet);
    door_open[kBonnet] = false;
    fixing = false;
}

}  // namespace corvalen
