#pragma once
// Natives bound to one hash each, named after what they do in the game. Each
// wrapper writes the arguments the native always gets (the literals) itself;
// callers pass the rest. Handles of characters, vehicles, groups and blips
// are 32-bit host values; out-parameters are addresses the host writes to.
// A wrapper whose native has no result of interest returns nothing.

#include <cstdint>

namespace corvalen::natives {

using Handle = std::uint32_t;

// Player and characters.
std::int32_t move_player_to(std::int32_t player, float x, float y, float z);
std::int32_t order_enter_vehicle(Handle character, Handle vehicle, std::int32_t time_limit,
                                 std::int32_t seat);
bool find_character_near(float x, float y, float z, float radius, Handle* character);
// Settles the character's behaviour; boarding passes 1, the agent 0 and 3.
std::int32_t set_character_behaviour(Handle character, std::int32_t behaviour);
// Made before characters are ordered to leave or board a vehicle.
std::int32_t allow_character_orders();
std::int32_t give_weapon(Handle character, std::int32_t weapon, std::int32_t ammunition);
std::int32_t say_speech(Handle character, const char* speech);
// The agent's farewell: he stops keeping to the player.
std::int32_t stop_following(Handle character);
void character_in_seat(Handle vehicle, std::int32_t seat, Handle* character);
// The developer toggle's lasting effect on the player character.
void start_developer_effect(Handle character);
bool find_spawn_point(float x, float y, float z, float range, void* out1, void* out2, void* out3,
                      void* out4, void* out5);

// Groups.
std::int32_t create_group(Handle* group);
std::int32_t set_up_group(Handle group);

// Vehicles and driving.
std::int32_t set_vehicle_engine(Handle vehicle, bool running, bool at_once);
std::int32_t vehicle_position(Handle vehicle, float* x, float* y, float* z);
std::int32_t order_drive_to(Handle driver, Handle vehicle, float x, float y, float z, float speed,
                            std::int32_t approach, std::int32_t style, float range);
std::int32_t order_wander(Handle driver, Handle vehicle, float speed, std::int32_t style);
// True the third argument removes the extra (component), false fits it.
std::int32_t set_vehicle_extra(Handle vehicle, std::int32_t extra, bool removed);
// Nearest vehicle within the radius, 0 when none. The host's interface list
// reaches the same native through its own operation; one wrapper is enough
// here.
Handle nearest_vehicle_handle(float x, float y, float z, float radius);
// Whether host vehicles may be created now.
bool can_create_vehicles();
// Clears the spot before a vehicle is placed there.
void clear_area(float x, float y, float z, float radius);
// Asked when a stored car is handed back.
bool vehicle_needs_restoring(Handle vehicle);
// Puts back the area value taken when the car was parked.
std::int32_t restore_area_code(std::uint32_t area_code);

// Geometry.
std::int32_t distance_3d(float x1, float y1, float z1, float x2, float y2, float z2,
                         float* distance);
std::int32_t distance_2d(float x1, float y1, float x2, float y2, float* distance);
std::int32_t ground_height(float x, float y, float z, float* height);

// Clock, calendar and statistics.
std::int32_t game_clock(std::int32_t* hour, std::int32_t* minute);
std::int32_t game_date(std::int32_t* day, std::int32_t* month);
float float_stat(std::int32_t stat);

// Places and streets.
std::int32_t streets_at(float x, float y, float z, std::int32_t* first, std::int32_t* second);
const char* street_name(std::int32_t street);

// Blips.
std::int32_t add_blip_at(float x, float y, float z, Handle* blip);
std::int32_t set_blip_name(Handle blip, const char* name);

// Drawing for this frame.
std::int32_t set_text_scale(float x_scale, float y_scale);
std::int32_t show_text(float x, float y, const char* text);
void set_text_colour(std::int32_t red, std::int32_t green, std::int32_t blue);
// Blue is always 0; the two floats after the position are passed through.
std::int32_t draw_ground_marker(float x, float y, float z, float a, float b, std::int32_t red,
                                std::int32_t green, std::int32_t alpha);
std::int32_t draw_circle(float x, float y, float z, float diameter, std::int32_t red,
                         std::int32_t green, std::int32_t blue);
std::int32_t draw_rectangle(float x, float y, float width, float height, std::int32_t red,
                            std::int32_t green, std::int32_t blue, std::int32_t alpha);

}  // namespace corvalen::natives
