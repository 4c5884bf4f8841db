#include "host/host_game.h"

#include <cstring>
#include <optional>
#include <utility>

#include "host/frame_gate.h"
#include "host/host_addresses.h"
#include "host/host_version.h"
#include "host/native_call.h"
#include "host/natives.h"
#include "host/platform.h"

namespace corvalen::host {
namespace {

// How many FrameScopes are open. Only the host's frame thread opens them.
int open_frames = 0;

// What stays the same for the whole of one frame, read at most once in it:
// the host answers these from state that only its own frame changes, and a
// frame asked for them a dozen times over.
struct FrameReads {
    std::optional<std::int64_t> wall_clock;
    std::optional<std::int32_t> player_index;
    std::optional<std::pair<std::int32_t, Handle>> player_character;  // player, character
};
FrameReads frame_reads;

// Natives without a bound wrapper; those with one are called through it, so
// each hash is spelled out in one place.
std::uint32_t call(NativeHash hash, std::initializer_list<std::uint32_t> slots) {
    return in_frame(call_native, hash, slots);
}

// The natives below that have no bound wrapper in host/natives.h.
namespace hash {
constexpr NativeHash kPlayerIndex = 0x62E319C6;
constexpr NativeHash kPlayerCharacter = 0x511454A9;
constexpr NativeHash kCharacterInVehicle = 0x1DBD7385;
constexpr NativeHash kCharacterInAnyVehicle = 0x71184DA3;
constexpr NativeHash kCharacterVehicle = 0x1B067237;
constexpr NativeHash kVehicleDriver = 0x22457083;
constexpr NativeHash kVehicleExists = 0x67A42263;
constexpr NativeHash kVehicleModel = 0x5FF84497;
constexpr NativeHash kVehicleSeatCount = 0x554014F1;
constexpr NativeHash kVehicleSeatFree = 0x1BDA0DA5;
constexpr NativeHash kCharacterLeaveVehicle = 0x011D360D;
constexpr NativeHash kDeveloperEffectOff = 0x524C4CB5;
constexpr NativeHash kKeyPressed = 0x540D127D;
constexpr NativeHash kKeyHeld = 0x5FA96262;
constexpr NativeHash kStatInt = 0x48994D58;
constexpr NativeHash kSetStatInt = 0x1B64665B;
constexpr NativeHash kSetStatFloat = 0x5213511B;
constexpr NativeHash kHostNotPlaying = 0x34F9164D;
constexpr NativeHash kSavingNotAllowed = 0x2BC64736;
constexpr NativeHash kOpenSaveScreen = 0x78AC735F;
constexpr NativeHash kSetClock = 0x52100540;
constexpr NativeHash kClockPassedMidnight = 0x79CF27AC;
constexpr NativeHash kCashPlayer = 0x5996315E;
constexpr NativeHash kAddCash = 0x537379A8;
constexpr NativeHash kRemoveBlip = 0x7BBF3625;
constexpr NativeHash kBlipSprite = 0x6A90123D;
constexpr NativeHash kBlipColour = 0x1D8800E3;
constexpr NativeHash kBlipShortRange = 0x2ED90276;
constexpr NativeHash kBlipAlpha = 0x2FB14E41;
constexpr NativeHash kBlipDisplay = 0x3ACC1794;
constexpr NativeHash kBlipExtra = 0x69EC0E70;
constexpr NativeHash kBlipScale = 0x44D349D9;
constexpr NativeHash kCharacterOnFoot = 0x10A86CF4;
constexpr NativeHash kVehicleSpeed = 0x16DD2D00;
constexpr NativeHash kRunsWithoutFuel = 0x7A422E14;
constexpr NativeHash kTyreBurst = 0x1DF623F9;
constexpr NativeHash kFixTyre = 0x0FDA7965;
constexpr NativeHash kRepairVehicle = 0x3D562F78;
constexpr NativeHash kExtraFitted = 0x4B920E81;
constexpr NativeHash kOpenDoor = 0x1E352CEF;
constexpr NativeHash kShutDoor = 0x5E7A620E;
constexpr NativeHash kIndicatorLights = 0x24B42ED2;
constexpr NativeHash kVehicleExtraValue = 0x10237666;
constexpr NativeHash kSetVehicleExtraValue = 0x2E9E149D;
constexpr NativeHash kKeepVehicle = 0x25750E4F;
constexpr NativeHash kSetNeedsRestoring = 0x295C4C52;
constexpr NativeHash kAreaCode = 0x4E493AAF;
}  // namespace hash

std::uint32_t read_word(std::uint32_t address) {
    return *reinterpret_cast<const volatile std::uint32_t*>(static_cast<std::uintptr_t>(address));
}

// The player accessor is a plain cdecl function without arguments. The pool
// lookup is a member function of the pool: thiscall, the pool in ECX, the
// handle as its one stack argument, which the callee removes. GCC's thiscall
// attribute gives exactly that form on i386 (MinGW and Linux alike).
using PlayerAccessor = std::uint32_t (*)();
using PoolLookup = std::uint32_t(__attribute__((thiscall)) *)(std::uint32_t pool,
                                                              std::uint32_t handle);

// The object of a handle in the pool a host global points to; 0 on an
// unknown build or while the pool is not there.
std::uint32_t pool_object(HostAddress pool_global, Handle handle) {
    std::uint32_t global = resolve(pool_global);
    std::uint32_t lookup = resolve(kVehiclePoolLookup);
    if (global == 0 || lookup == 0)
        return 0;
    std::uint32_t pool = read_word(global);
    if (pool == 0)
        return 0;
    return reinterpret_cast<PoolLookup>(static_cast<std::uintptr_t>(lookup))(pool, handle);
}

}  // namespace

FrameScope::FrameScope() {
    if (open_frames++ == 0)
        frame_reads = FrameReads();
}
FrameScope::~FrameScope() {
    --open_frames;
}
bool FrameScope::active() {
    return open_frames > 0;
}

std::int64_t wall_clock_now() {
    if (!FrameScope::active())
        return platform::wall_clock_seconds();
    if (!frame_reads.wall_clock)
        frame_reads.wall_clock = platform::wall_clock_seconds();
    return *frame_reads.wall_clock;
}

// --- host locations -------------------------------------------------------------

std::uint32_t game_timer() {
    std::uint32_t address = resolve(kGameTimer);
    return address == 0 ? 0 : read_word(address);
}

std::int32_t clock_seconds() {
    std::uint32_t address = resolve(kClockSeconds);
    return address == 0 ? 0 : static_cast<std::int32_t>(read_word(address));
}

std::uint32_t player_object() {
    std::uint32_t accessor = resolve(kPlayerAccessor);
    if (accessor == 0)
        return 0;
    return reinterpret_cast<PlayerAccessor>(static_cast<std::uintptr_t>(accessor))();
}

std::optional<Matrix> player_matrix() {
    return object_matrix(player_object());
}

std::optional<Matrix> object_matrix(std::uint32_t object) {
    if (object == 0)
        return std::nullopt;
    std::uint32_t matrix = read_word(object + kObjectMatrixOffset);
    if (matrix == 0)
        return std::nullopt;
    Matrix copy;
    std::memcpy(&copy, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(matrix)),
                sizeof(copy));
    return copy;
}

std::int32_t vehicle_object_seats(std::uint32_t object) {
    if (object == 0)
        return 0;
    return *reinterpret_cast<const volatile std::uint8_t*>(
        static_cast<std::uintptr_t>(object + kVehicleSeatCountOffset));
}

std::uint32_t vehicle_object(Handle vehicle) {
    if (vehicle == 0)
        return 0;
    return pool_object(kVehiclePool, vehicle);
}

std::uint32_t character_object(Handle character) {
    if (character == 0 || as_int(character) < 0)
        return 0;
    return pool_object(kSecondPool, character);
}

float player_object_heading() {
    std::uint32_t player = player_object();
    if (player == 0)
        return 0.0f;
    return *reinterpret_cast<const volatile float*>(
        static_cast<std::uintptr_t>(player + kPlayerHeadingOffset));
}

// --- natives ----------------------------------------------------------------------

std::int32_t player_index() {
    if (!FrameScope::active())
        return 0;
    if (!frame_reads.player_index)
        frame_reads.player_index = as_int(call(hash::kPlayerIndex, {}));
    return *frame_reads.player_index;
}

Handle player_character(std::int32_t player) {
    if (!FrameScope::active())
        return 0;
    if (frame_reads.player_character && frame_reads.player_character->first == player)
        return frame_reads.player_character->second;
    Handle character = 0;
    call(hash::kPlayerCharacter, {slot(player), slot(&character)});
    frame_reads.player_character = {player, character};
    return character;
}

bool character_in_vehicle(Handle character) {
    return as_bool(call(hash::kCharacterInVehicle, {slot(character)}));
}

bool character_in_any_vehicle(Handle character) {
    return as_bool(call(hash::kCharacterInAnyVehicle, {slot(character)}));
}

Handle character_vehicle(Handle character) {
    Handle vehicle = 0;
    call(hash::kCharacterVehicle, {slot(character), slot(&vehicle)});
    return vehicle;
}

Handle vehicle_driver(Handle vehicle) {
    Handle driver = static_cast<Handle>(-1);
    call(hash::kVehicleDriver, {slot(vehicle), slot(&driver)});
    return driver;
}

void move_player(std::int32_t player, Vec3 to) {
    in_frame(natives::move_player_to, player, to.x, to.y, to.z);
}

bool vehicle_exists(Handle vehicle) {
    return as_bool(call(hash::kVehicleExists, {slot(vehicle)}));
}

std::uint32_t vehicle_model(Handle vehicle) {
    std::uint32_t model = 0;
    call(hash::kVehicleModel, {slot(vehicle), slot(&model)});
    return model;
}

Handle nearest_vehicle_at(Vec3 at, float radius) {
    return in_frame(natives::nearest_vehicle_handle, at.x, at.y, at.z, radius);
}

std::int32_t vehicle_seat_count(Handle vehicle) {
    std::int32_t count = 0;
    call(hash::kVehicleSeatCount, {slot(vehicle), slot(&count)});
    return count;
}

bool vehicle_seat_free(Handle vehicle, std::int32_t seat) {
    return as_bool(call(hash::kVehicleSeatFree, {slot(vehicle), slot(seat)}));
}

void character_leave_vehicle(Handle character, Handle vehicle) {
    call(hash::kCharacterLeaveVehicle, {slot(character), slot(vehicle)});
}

void character_enter_vehicle(Handle character, Handle vehicle, std::int32_t seat) {
    order_enter_vehicle(character, vehicle, 0, seat);
}

bool character_on_foot(Handle character) {
    return as_bool(call(hash::kCharacterOnFoot, {slot(character)}));
}

float vehicle_speed(Handle vehicle) {
    float speed = 0.0f;
    call(hash::kVehicleSpeed, {slot(vehicle), slot(&speed)});
    return speed;
}

void set_engine_running(Handle vehicle, bool running) {
    in_frame(natives::set_vehicle_engine, vehicle, running, running);
}

bool vehicle_runs_without_fuel(Handle vehicle) {
    return as_bool(call(hash::kRunsWithoutFuel, {slot(vehicle)}));
}

bool tyre_burst(Handle vehicle, std::int32_t tyre) {
    return as_bool(call(hash::kTyreBurst, {slot(vehicle), slot(tyre)}));
}

void fix_tyre(Handle vehicle, std::int32_t tyre) {
    call(hash::kFixTyre, {slot(vehicle), slot(tyre)});
}

void repair_vehicle(Handle vehicle) {
    call(hash::kRepairVehicle, {slot(vehicle)});
}

bool extra_fitted(Handle vehicle, std::int32_t extra) {
    return as_bool(call(hash::kExtraFitted, {slot(vehicle), slot(extra)}));
}

void set_extra_removed(Handle vehicle, std::int32_t extra, bool removed) {
    in_frame(natives::set_vehicle_extra, vehicle, extra, removed);
}

void open_door(Handle vehicle, std::int32_t door) {
    call(hash::kOpenDoor, {slot(vehicle), slot(door)});
}

void shut_door(Handle vehicle, std::int32_t door) {
    call(hash::kShutDoor, {slot(vehicle), slot(door)});
}

void set_indicator_lights(Handle vehicle, bool on) {
    call(hash::kIndicatorLights, {slot(vehicle), slot(on)});
}

Vec3 vehicle_position(Handle vehicle) {
    // One vector, as a script passes it, so the host may hand it back as a
    // fix-up.
    Vec3 at;
    in_frame(natives::vehicle_position, vehicle, &at.x, &at.y, &at.z);
    return at;
}

void give_weapon(Handle character, std::int32_t weapon, std::int32_t ammunition) {
    in_frame(natives::give_weapon, character, weapon, ammunition);
}

std::int32_t vehicle_extra_value(Handle vehicle) {
    std::int32_t value = 0;
    call(hash::kVehicleExtraValue, {slot(vehicle), slot(&value)});
    return value;
}

void set_vehicle_extra_value(Handle vehicle, std::int32_t value) {
    call(hash::kSetVehicleExtraValue, {slot(vehicle), slot(value)});
}

void keep_vehicle(Handle vehicle) {
    call(hash::kKeepVehicle, {slot(vehicle), slot(std::int32_t{1})});
}

bool vehicle_needs_restoring(Handle vehicle) {
    return in_frame(natives::vehicle_needs_restoring, vehicle);
}

void set_vehicle_needs_restoring(Handle vehicle, bool needs) {
    call(hash::kSetNeedsRestoring, {slot(vehicle), slot(std::int32_t{needs ? 1 : 0})});
}

std::uint32_t area_code() {
    return call(hash::kAreaCode, {});
}

void restore_area_code(std::uint32_t area_code) {
    in_frame(natives::restore_area_code, area_code);
}

void developer_effect_on(Handle character) {
    in_frame(natives::start_developer_effect, character);
}

void developer_effect_off(Handle character) {
    call(hash::kDeveloperEffectOff, {slot(character), slot(std::int32_t{100})});
}

float distance_3d(Vec3 a, Vec3 b) {
    float distance = 0.0f;
    in_frame(natives::distance_3d, a.x, a.y, a.z, b.x, b.y, b.z, &distance);
    return distance;
}

float distance_2d(float x1, float y1, float x2, float y2) {
    float distance = 0.0f;
    in_frame(natives::distance_2d, x1, y1, x2, y2, &distance);
    return distance;
}

float ground_height(Vec3 at) {
    float height = 0.0f;
    in_frame(natives::ground_height, at.x, at.y, at.z, &height);
    return height;
}

std::string street_name_at(Vec3 at) {
    std::int32_t street = 0;
    std::int32_t crossing = 0;
    in_frame(natives::streets_at, at.x, at.y, at.z, &street, &crossing);
    const char* name = in_frame(natives::street_name, street);
    return name == nullptr ? std::string() : std::string(name);
}

bool key_pressed(ScanCode key) {
    return as_bool(call(hash::kKeyPressed, {slot(static_cast<std::uint32_t>(key))}));
}

bool key_held(ScanCode key) {
    return as_bool(call(hash::kKeyHeld, {slot(static_cast<std::uint32_t>(key))}));
}

ClockTime game_clock() {
    ClockTime time;
    in_frame(natives::game_clock, &time.hour, &time.minute);
    return time;
}

CalendarDay game_day() {
    CalendarDay day;
    in_frame(natives::game_date, &day.day, &day.month);
    return day;
}

std::int32_t stat_int(Stat stat) {
    return as_int(call(hash::kStatInt, {slot(static_cast<std::uint32_t>(stat))}));
}

void set_stat_int(Stat stat, std::int32_t value) {
    call(hash::kSetStatInt, {slot(static_cast<std::uint32_t>(stat)), slot(value)});
}

float stat_float(Stat stat) {
    return in_frame(natives::float_stat, static_cast<std::int32_t>(stat));
}

void set_stat_float(Stat stat, float value) {
    call(hash::kSetStatFloat, {slot(static_cast<std::uint32_t>(stat)), slot(value)});
}

bool host_not_playing() {
    return as_bool(call(hash::kHostNotPlaying, {}));
}

bool saving_not_allowed() {
    return as_bool(call(hash::kSavingNotAllowed, {}));
}

void open_save_screen() {
    call(hash::kOpenSaveScreen, {});
}

void set_game_clock(std::int32_t hour, std::int32_t minute) {
    call(hash::kSetClock, {slot(hour), slot(minute)});
}

void clock_passed_midnight() {
    call(hash::kClockPassedMidnight, {});
}

Handle cash_player(std::int32_t player) {
    return call(hash::kCashPlayer, {slot(player)});
}

void add_cash(Handle cash_player, std::int32_t amount) {
    call(hash::kAddCash, {slot(cash_player), slot(amount)});
}

Handle add_blip(Vec3 at) {
    Handle blip = 0;
    in_frame(natives::add_blip_at, at.x, at.y, at.z, &blip);
    return blip;
}

void remove_blip(Handle blip) {
    call(hash::kRemoveBlip, {slot(blip)});
}

void set_blip_sprite(Handle blip, std::int32_t sprite) {
    call(hash::kBlipSprite, {slot(blip), slot(sprite)});
}

void set_blip_colour(Handle blip, std::int32_t colour) {
    call(hash::kBlipColour, {slot(blip), slot(colour)});
}

void set_blip_short_range(Handle blip, bool short_range) {
    call(hash::kBlipShortRange, {slot(blip), slot(short_range)});
}

void set_blip_alpha(Handle blip, std::int32_t alpha) {
    call(hash::kBlipAlpha, {slot(blip), slot(alpha)});
}

void set_blip_display(Handle blip, std::int32_t mode) {
    call(hash::kBlipDisplay, {slot(blip), slot(mode)});
}

void set_blip_extra(Handle blip, std::int32_t value) {
    call(hash::kBlipExtra, {slot(blip), slot(value)});
}

void set_blip_scale(Handle blip, float scale) {
    call(hash::kBlipScale, {slot(blip), slot(scale)});
}

void set_blip_name(Handle blip, const std::string& name) {
    in_frame(natives::set_blip_name, blip, name.c_str());
}

void draw_ground_marker(Vec3 at, std::int32_t red, std::int32_t green, std::int32_t alpha) {
    in_frame(natives::draw_ground_marker, at.x, at.y, at.z, 0.0f, 0.0f, red, green, alpha);
}

void draw_circle(Vec3 at, float diameter, std::int32_t red, std::int32_t green, std::int32_t blue) {
    in_frame(natives::draw_circle, at.x, at.y, at.z, diameter, red, green, blue);
}

void draw_rectangle(float x, float y, float width, float height, Rgba colour) {
    in_frame(natives::draw_rectangle, x, y, width, height, colour.red, colour.green, colour.blue,
             colour.alpha);
}

void set_text_scale(float x_scale, float y_scale) {
    in_frame(natives::set_text_scale, x_scale, y_scale);
}

void show_text(float x, float y, const std::string& text) {
    in_frame(natives::show_text, x, y, text.c_str());
}

void show_text(float x, float y, const char* text) {
    in_frame(natives::show_text, x, y, text);
}

void set_text_colour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    in_frame(natives::set_text_colour, red, green, blue);
}

}  // namespace corvalen::host
