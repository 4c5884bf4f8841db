// Resting and saving the game at a property: a night in a hotel or at an
// owned house moves the clock on six hours, and the game is saved with the
// property's position, where the player stands again after that save is
// loaded.

#include "host/host_game.h"
#include "realestate/ro_viri_variru_roza.h"

namespace corvalen {
namespace {

constexpr const char* kNotEnoughCash = "Not enough cash to stay in hotel";
constexpr const char* kOnMission = "Can't save on a mission";
constexpr std::int32_t kHoursPerDay = 24;

// Positions that statistics 210 to 212 hold when they carry none: never
// set (0), cleared (0), or the same value in all three.
bool holds_position(float x, float y, float z) {
    if (x == y && y == z)
        return false;
    for (float value : {x, y, z}) {
        if (value == 0.0f || value == -1.0f)
            return false;
    }
    return true;
}

// The clock moves on; the host hears of a midnight passed.
void rest_hours() {
    host::ClockTime now = host::game_clock();
    std::int32_t hour = now.hour + ROViriVariruRoza::kRestHours;
    if (hour >= kHoursPerDay) {
        hour -= kHoursPerDay;
        host::clock_passed_midnight();
    }
    host::set_game_clock(hour, now.minute);
}

void set_saved_position(float x, float y, float z) {
    host::set_stat_float(host::Stat::SavedPositionX, x);
    host::set_stat_float(host::Stat::SavedPositionY, y);
    host::set_stat_float(host::Stat::SavedPositionZ, z);
}

}  // namespace

bool ROViriVariruRoza::may_save() {
    // Just after a save or a restore the spot stays quiet for a frame (and
    // F11 with it).
    if (skip_once)
        return false;
    if (host::saving_not_allowed()) {
        message.show(kOnMission);
        return false;
    }
    return true;
}

void ROViriVariruRoza::hand_position_to_save(float x, float y, float z) {
    skip_once = true;
    set_saved_position(x, y, z);
    saved_position = SavedPosition::handed;
    host::open_save_screen();
}

// Asked before anything else: a save the host would refuse costs neither
// money nor time.
void ROViriVariruRoza::hotel_stay(const Place& place) {
    if (!may_save())
        return;
    if (host::stat_float(host::Stat::Cash) < static_cast<float>(place.user_value)) {
        message.show(kNotEnoughCash);
        return;
    }
    host::add_cash(static_cast<host::Handle>(host::player_index()),
                   -static_cast<std::int32_t>(place.user_value));
    rest_hours();
    hand_position_to_save(place.x, place.y, place.z);
}

void ROViriVariruRoza::rest_at(const Place& place) {
    if (!may_save())
        return;
    rest_hours();
    hand_position_to_save(place.x, place.y, place.z);
}

void ROViriVariruRoza::save_at(float x, float y, float z) {
    if (may_save())
        hand_position_to_save(x, y, z);
}

void ROViriVariruRoza::restore_saved_position() {
    saved_position = SavedPosition::none;
    float x = host::stat_float(host::Stat::SavedPositionX);
    float y = host::stat_float(host::Stat::SavedPositionY);
    float z = host::stat_float(host::Stat::SavedPositionZ);
    if (!holds_position(x, y, z))
        return;
    set_saved_position(0.0f, 0.0f, 0.0f);
    skip_once = true;
    host::move_player(host::player_index(), {x, y, z});
}

bool ROViriVariruRoza::note_host_not_playing() {
    if (saved_position != SavedPosition::handed)
        return false;
    saved_position = SavedPosition::in_screen;
    return true;
}

void ROViriVariruRoza::clear_saved_position() {
    // Whether the host saved or the player backed out, the save screen is
    // over: a later save must not carry this position.
    if (saved_position != SavedPosition::in_screen)
        return;
    set_saved_position(0.0f, 0.0f, 0.0f);
    saved_position = SavedPosition::none;
}

}  // namespace corvalen
