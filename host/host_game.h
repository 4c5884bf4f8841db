#pragma once
// The host game as the features see it: the natives, statistics, keys and
// object fields that several features share, behind typed operations. Feature
// code asks these operations and never spells out a native hash or a host
// structure offset itself.
//
// Natives may be called only while the host runs the frame tick (event 1):
// only then does the host's active script pointer designate the plug-in's
// script record, and only then is the host sure to answer them at all. The
// tick opens a FrameScope; outside one, every native operation here calls
// nothing and returns its zero value (no key pressed, handle 0, distance 0).

#include <cstdint>
#include <optional>
#include <string>

namespace corvalen::host {

// DirectInput keyboard scan codes, asked of the host.
enum class ScanCode : std::uint32_t {
    Y = 0x15,
    Enter = 0x1C,
    F = 0x21,
    G = 0x22,
    LeftShift = 0x2A,
    X = 0x2D,
    B = 0x30,
    N = 0x31,
    Comma = 0x33,
    FullStop = 0x34,
    LeftAlt = 0x38,
    Numpad8 = 0x48,
    Numpad4 = 0x4B,
    Numpad5 = 0x4C,
    Numpad6 = 0x4D,
    Numpad1 = 0x4F,
    Numpad2 = 0x50,
    Numpad3 = 0x51,
    Numpad0 = 0x52,
    F11 = 0x57,
    F12 = 0x58,
};

// Host statistics the mod reads or uses as storage; the host keeps them in its
// save games and gives them back when a save is loaded.
enum class Stat : std::uint32_t {
    Cash = 108,            // float, the player's cash
    SavedPositionX = 210,  // floats, a position to put the player back at after loading
    SavedPositionY = 211,
    SavedPositionZ = 212,
    DayCount = 260,      // integer, in-game days played
    SaveIdentity = 429,  // integer, the mod's identity of the save
};

// In the player object and in a vehicle object this word points to the
// object's 4x4 float matrix; the matrix's fourth row is the position.
inline constexpr std::uint32_t kObjectMatrixOffset = 0x20;
inline constexpr std::uint32_t kMatrixPositionOffset = 0x30;
// In a vehicle object: the byte holding the vehicle's passenger seat count.
inline constexpr std::uint32_t kVehicleSeatCountOffset = 0x10C0;
// In the player object: the float heading of the player, in degrees.
inline constexpr std::uint32_t kPlayerHeadingOffset = 0xAB0;

// Handles of host characters, vehicles and blips; 0 means none.
using Handle = std::uint32_t;

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Matrix {
    float rows[4][4] = {};
    Vec3 position() const { return {rows[3][0], rows[3][1], rows[3][2]}; }
};
static_assert(sizeof(Matrix) == 64);

struct Rgba {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    std::int32_t alpha = 255;
};

// Natives run only inside one of these (the frame tick opens it). Nesting is
// allowed.
class FrameScope {
  public:
    FrameScope();
    ~FrameScope();
    FrameScope(const FrameScope&) = delete;
    FrameScope& operator=(const FrameScope&) = delete;

    static bool active();
};

// Wall-clock seconds (the scale of _time64). Inside a frame the clock is read
// once, at the first ask, so that everything one frame does sees the same
// second; outside a frame it is read afresh.
std::int64_t wall_clock_now();

// --- host locations (plain reads and calls, no natives) ----------------------

// Unsigned milliseconds of game time; 0 on a build the plug-in does not know.
std::uint32_t game_timer();
// Seconds of the in-game clock; 0 on an unknown build.
std::int32_t clock_seconds();
// The player object's address, 0 when there is none or the build is unknown.
std::uint32_t player_object();
// A copy of the player's matrix; none when there is no player object yet.
std::optional<Matrix> player_matrix();
// The host's vehicle object for a vehicle handle (vehicle pool lookup); 0 for
// handle 0 or an unknown build.
std::uint32_t vehicle_object(Handle vehicle);
// A copy of the matrix of a player or vehicle object; none for object 0 or an
// object without one.
std::optional<Matrix> object_matrix(std::uint32_t object);
// The passenger seat count a vehicle object holds; 0 for object 0.
std::int32_t vehicle_object_seats(std::uint32_t object);
// The host's object for a character handle (the second pool); 0 for handle 0,
// a handle that resolves to nothing, or an unknown build.
std::uint32_t character_object(Handle character);
// The heading the player object holds, in degrees; 0 without a player object.
float player_object_heading();

// Creating vehicles through the host's own functions (vehicle_factory.cpp).
// Asks for a model and loads it at once; returns its model index, -1 (and
// nothing asked) for a model the host does not have.
std::int32_t load_model_now(std::uint32_t model);
// The vehicle factory's creation of a loaded model at a transform; `kind` is
// how the host creates it (2 for traffic, 4 for a car re-created from a car
// file). The new object, 0 when none.
std::uint32_t create_vehicle_object(std::int32_t model_index, std::int32_t kind,
                                    const Matrix& transform);
// The host's step after creating a vehicle or pedestrian object.
void finish_object_creation(std::uint32_t object);
// The handle of a vehicle object (vehicle pool); 0 when none.
Handle vehicle_handle_of(std::uint32_t object);
// The pedestrian factory's creation of a loaded model at a transform; the new
// object, 0 when none.
std::uint32_t create_pedestrian_object(std::int32_t model_index, const Matrix& transform);
// The handle of a character object (the second pool); 0 when none.
Handle character_handle_of(std::uint32_t object);

// --- natives -------------------------------------------------------------------

// Player and characters.
std::int32_t player_index();
Handle player_character(std::int32_t player);
bool character_in_vehicle(Handle character);      // the test behind player_not_driving
bool character_in_any_vehicle(Handle character);  // the test of the developer hotkey
Handle character_vehicle(Handle character);
Handle vehicle_driver(Handle vehicle);  // -1 as a handle when the host writes none
void move_player(std::int32_t player, Vec3 to);

// Vehicles.
bool vehicle_exists(Handle vehicle);
std::uint32_t vehicle_model(Handle vehicle);
Handle nearest_vehicle_at(Vec3 at, float radius);
std::int32_t vehicle_seat_count(Handle vehicle);
bool vehicle_seat_free(Handle vehicle, std::int32_t seat);
void character_leave_vehicle(Handle character, Handle vehicle);
void character_enter_vehicle(Handle character, Handle vehicle, std::int32_t seat);

// Traffic: vehicles the mod creates and drives, their drivers and groups
// (host_traffic.cpp). Drivers and groups are released to the host when the
// mod is done with them; the release natives read the handle through a
// pointer.
bool can_create_vehicles();
void clear_area(Vec3 at, float radius);
void claim_vehicle(Handle vehicle);  // the host keeps it for the mod
void settle_vehicle_on_ground(Handle vehicle);
void set_vehicle_heading(Handle vehicle, float degrees);
Handle create_driver(Handle vehicle);     // -1 as a handle when the host writes none
Handle add_vehicle_blip(Handle vehicle);  // -1 as a handle when the host writes none
float vehicle_heading(Handle vehicle);    // degrees
std::int32_t vehicle_health(Handle vehicle);
bool vehicle_damaged_by(Handle vehicle, Handle character);
void close_vehicle_doors(Handle vehicle);
void set_vehicle_in_service(Handle vehicle, bool in_service);
// The host reads the handle through a pointer: it gets one to this copy.
void release_vehicle(Handle vehicle);

bool character_exists(Handle character);
bool character_dead(Handle character);
std::uint32_t character_health(Handle character);
float character_heading(Handle character);  // degrees
bool character_in_interior(Handle character);
bool character_in_this_vehicle(Handle character, Handle vehicle);
void claim_character(Handle character);  // the host keeps him for the mod
bool character_claimed(Handle character);
void set_character_money(Handle character, std::int32_t amount);
void clear_character_orders(Handle character);
void clear_character_reactions(Handle character);
void set_character_keeps_orders(Handle character, bool keeps);
void release_character(Handle character);  // through a pointer to this copy

Handle create_group();
void set_group_formation(Handle group, std::int32_t formation);
void set_up_group(Handle group);
void add_to_group(Handle group, Handle character);
void release_group(Handle group);

void order_wander(Handle driver, Handle vehicle, float speed, std::int32_t style);
// approach 2 makes the driver reach the point backwards; the driver brings
// the vehicle to rest within `range` of it.
void order_drive_to(Handle driver, Handle vehicle, Vec3 to, float speed, std::int32_t approach,
                    std::int32_t style, float range);

// Passengers (host_passengers.cpp): people told to board or leave a
// vehicle, and what they say.
// The character in a passenger seat; -1 as a handle when the host writes none.
Handle character_in_seat(Handle vehicle, std::int32_t seat);
// Someone standing near the point, 0 when the host finds nobody.
Handle find_character_near(Vec3 at, float radius);
// Made before characters are told to leave or board a vehicle.
void allow_character_orders();
// The order to walk to the vehicle and take the seat within `time_limit`
// milliseconds; the player's form passes -1 for both (any seat, no limit).
void order_enter_vehicle(Handle character, Handle vehicle, std::int32_t time_limit,
                         std::int32_t seat);
// The order to get out of the vehicle the character is in.
void order_leave_vehicle(Handle character);
// The order to wander off on foot: passengers set down or sent away, the
// agent after his farewell.
void order_walk_away(Handle character);
// A boarder's behaviour on the way to his seat.
void set_boarding_behaviour(Handle character);
// The host's steps before the player boards a vehicle as a passenger.
void prepare_player_boarding(Handle character, Handle vehicle);
void prepare_player_entry();
// The character speaks one of the host's speech lines. The host may keep the
// name past the call, so it must outlive it (a literal does).
void say(Handle character, const char* speech);
// The vehicle is the host's ordinary vehicle again.
void end_vehicle_service(Handle vehicle);

// The player's standing that trims traffic around him (the value of
// cash_player for the player, and a level).
bool player_wanted_above(Handle player, std::int32_t level);

// Vehicle condition and services: speed in metres per second, the engine,
// tyres 0 to 5, extras (components) 0 to 9, doors 0 to 5 (4 the bonnet, 5
// the boot), the indicator lights and a full repair.
bool character_on_foot(Handle character);
float vehicle_speed(Handle vehicle);
void set_engine_running(Handle vehicle, bool running);
// The host's own mark on a vehicle that keeps its engine running without
// fuel; such vehicles also start with fuller tanks.
bool vehicle_runs_without_fuel(Handle vehicle);
bool tyre_burst(Handle vehicle, std::int32_t tyre);
void fix_tyre(Handle vehicle, std::int32_t tyre);
void repair_vehicle(Handle vehicle);
bool extra_fitted(Handle vehicle, std::int32_t extra);
void set_extra_removed(Handle vehicle, std::int32_t extra, bool removed);
void open_door(Handle vehicle, std::int32_t door);
void shut_door(Handle vehicle, std::int32_t door);
void set_indicator_lights(Handle vehicle, bool on);
Vec3 vehicle_position(Handle vehicle);
void give_weapon(Handle character, std::int32_t weapon, std::int32_t ammunition);

// Vehicles kept for the player (garages and car parks): what a stored car
// carries besides its structure and heading, and the host's marks on it.
std::int32_t vehicle_extra_value(Handle vehicle);
void set_vehicle_extra_value(Handle vehicle, std::int32_t value);
// The host keeps a re-created vehicle rather than clearing it away.
void keep_vehicle(Handle vehicle);
bool vehicle_needs_restoring(Handle vehicle);
void set_vehicle_needs_restoring(Handle vehicle, bool needs);
// The host's area value where a vehicle is left, and putting it back when the
// vehicle is collected.
std::uint32_t area_code();
void restore_area_code(std::uint32_t area_code);

// The developer toggle's two host effects on the player character.
void developer_effect_on(Handle character);
void developer_effect_off(Handle character);

// Geometry.
float distance_3d(Vec3 a, Vec3 b);
float distance_2d(float x1, float y1, float x2, float y2);
float ground_height(Vec3 at);
// The name of the street at a point; empty where the map names none.
std::string street_name_at(Vec3 at);

// Keys: true in the frame the key is pressed / while it is held.
bool key_pressed(ScanCode key);
bool key_held(ScanCode key);

// Game clock and calendar.
struct ClockTime {
    std::int32_t hour = 0;
    std::int32_t minute = 0;
};
ClockTime game_clock();
struct CalendarDay {
    std::int32_t day = 0;    // of the month
    std::int32_t month = 0;  // 1 to 12
};
CalendarDay game_day();

// Statistics.
std::int32_t stat_int(Stat stat);
void set_stat_int(Stat stat, std::int32_t value);
float stat_float(Stat stat);
void set_stat_float(Stat stat, float value);

// True while the host is not playing (its menus, loading and save screens).
bool host_not_playing();
// True while the host does not allow saving (a mission is under way).
bool saving_not_allowed();
// Opens the host's save screen; the host saves from it (or the player
// backs out) in the frames that follow.
void open_save_screen();

// The game clock set by a script; the host moves the date on only when told
// that the clock passed midnight.
void set_game_clock(std::int32_t hour, std::int32_t minute);
void clock_passed_midnight();

// People the mod brings into the game and keeps with the player
// (host_people.cpp): a spawn point near a position, the player's group, and
// the settings and farewell of a character who walks with the player.
std::optional<Vec3> spawn_point_near(Vec3 at);
Handle player_group(Handle cash_player);
void set_group_separation(Handle group, float metres);
void set_group_leader(Handle group, Handle character);
void set_player_group_follows(std::int32_t player, bool follows);
void set_character_flees(Handle character, bool flees);
void set_character_behaviour(Handle character, std::int32_t behaviour);
void set_character_roaming(Handle character, float metres);
void set_character_health(Handle character, std::int32_t health);
void set_character_armour(Handle character, std::int32_t armour);
Handle add_character_blip(Handle character);
bool character_injured(Handle character);
void leave_group(Handle character);
void stop_following(Handle character);
// True when `character` no longer keeps to `other` (left the group `other`
// leads, or strayed beyond its range).
bool character_left(Handle character, Handle other);

// Money: the amount (signed) is added to the player's cash.
Handle cash_player(std::int32_t player);
void add_cash(Handle cash_player, std::int32_t amount);

// Blips.
Handle add_blip(Vec3 at);
void remove_blip(Handle blip);
void set_blip_sprite(Handle blip, std::int32_t sprite);
void set_blip_colour(Handle blip, std::int32_t colour);
void set_blip_short_range(Handle blip, bool short_range);
void set_blip_alpha(Handle blip, std::int32_t alpha);
void set_blip_display(Handle blip, std::int32_t mode);
void set_blip_extra(Handle blip, std::int32_t value);
void set_blip_scale(Handle blip, float scale);
void set_blip_name(Handle blip, const std::string& name);

// Drawing for this frame.
// The ground marker's blue is always 0.
void draw_ground_marker(Vec3 at, std::int32_t red, std::int32_t green, std::int32_t alpha);
void draw_circle(Vec3 at, float diameter, std::int32_t red, std::int32_t green, std::int32_t blue);
void draw_rectangle(float x, float y, float width, float height, Rgba colour);
void set_text_scale(float x_scale, float y_scale);
void show_text(float x, float y, const std::string& text);
void show_text(float x, float y, const char* text);
void set_text_colour(std::int32_t red, std::int32_t green, std::int32_t blue);

}  // namespace corvalen::host
