#include "host/natives.h"

#include "host/native_call.h"

namespace corvalen::natives {
namespace {

using host::as_bool;
using host::as_float;
using host::as_int;
using host::call_native;
using host::slot;

// The text key the host's text display expects before the text itself.
constexpr const char* kPlainTextKey = "STRING";

// The literals some natives always get.
constexpr std::int32_t kDeveloperEffectDuration = 43200000;  // milliseconds, twelve hours
constexpr std::int32_t kNearestVehicleFlags = 70;
constexpr std::int32_t kOpaqueTextAlpha = 255;

}  // namespace

std::int32_t move_player_to(std::int32_t player, float x, float y, float z) {
    return as_int(call_native(0x2EE310C5, {slot(player), slot(x), slot(y), slot(z)}));
}

std::int32_t order_enter_vehicle(Handle character, Handle vehicle, std::int32_t time_limit,
                                 std::int32_t seat) {
    return as_int(
        call_native(0x0A2C70AF, {slot(character), slot(vehicle), slot(time_limit), slot(seat)}));
}

bool find_character_near(float x, float y, float z, float radius, Handle* character) {
    return as_bool(call_native(
        0x0F4B0239, {slot(x), slot(y), slot(z), slot(radius), slot(1), slot(0), slot(character)}));
}

std::int32_t set_character_behaviour(Handle character, std::int32_t behaviour) {
    return as_int(call_native(0x6D9538E1, {slot(character), slot(behaviour), slot(0)}));
}

std::int32_t allow_character_orders() {
    return as_int(call_native(0x6EEE7E6C, {slot(true)}));
}

std::int32_t give_weapon(Handle character, std::int32_t weapon, std::int32_t ammunition) {
    return as_int(
        call_native(0x03E90416, {slot(character), slot(weapon), slot(ammunition), slot(true)}));
}

std::int32_t say_speech(Handle character, const char* speech) {
    return as_int(
        call_native(0x5CF149C8, {slot(character), slot(speech), slot(true), slot(true), slot(1)}));
}

std::int32_t stop_following(Handle character) {
    return as_int(call_native(0x42DB145F, {slot(character), slot(0), slot(0)}));
}

void character_in_seat(Handle vehicle, std::int32_t seat, Handle* character) {
    call_native(0x5E756B51, {slot(vehicle), slot(seat), slot(character)});
}

void start_developer_effect(Handle character) {
    call_native(0x264C5448, {slot(character), slot(0), slot(0), slot(kDeveloperEffectDuration)});
}

bool find_spawn_point(float x, float y, float z, float range, void* out1, void* out2, void* out3,
                      void* out4, void* out5) {
    return as_bool(
        call_native(0x63C00DE7, {slot(x), slot(y), slot(z), slot(range), slot(1), slot(out1),
                                 slot(out2), slot(out3), slot(out4), slot(out5)}));
}

std::int32_t create_group(Handle* group) {
    return as_int(call_native(0x78300C0C, {slot(0), slot(group), slot(true)}));
}

std::int32_t set_up_group(Handle group) {
    return as_int(call_native(0x03D916E4, {slot(1), slot(group), slot(0)}));
}

std::int32_t set_vehicle_engine(Handle vehicle, bool running, bool at_once) {
    return as_int(call_native(0x0CAA42D0, {slot(vehicle), slot(running), slot(at_once)}));
}

std::int32_t vehicle_position(Handle vehicle, float* x, float* y, float* z) {
    return as_int(call_native(0x2D432EAB, {slot(vehicle), slot(x), slot(y), slot(z)}));
}

std::int32_t order_drive_to(Handle driver, Handle vehicle, float x, float y, float z, float speed,
                            std::int32_t approach, std::int32_t style, float range) {
    return as_int(call_native(0x69715285,
                              {slot(driver), slot(vehicle), slot(x), slot(y), slot(z), slot(speed),
                               slot(approach), slot(0), slot(style), slot(range), slot(-1)}));
}

std::int32_t order_wander(Handle driver, Handle vehicle, float speed, std::int32_t style) {
    return as_int(call_native(0x1E9635A9, {slot(driver), slot(vehicle), slot(speed), slot(style)}));
}

std::int32_t set_vehicle_extra(Handle vehicle, std::int32_t extra, bool removed) {
    return as_int(call_native(0x05966824, {slot(vehicle), slot(extra), slot(removed)}));
}

Handle nearest_vehicle_handle(float x, float y, float z, float radius) {
    return call_native(
        0x2CB303F8, {slot(x), slot(y), slot(z), slot(radius), slot(0), slot(kNearestVehicleFlags)});
}

bool can_create_vehicles() {
    return as_bool(call_native(0x5CD64D63, {slot(true), slot(true)}));
}

void clear_area(float x, float y, float z, float radius) {
    call_native(0x24367E48, {slot(x), slot(y), slot(z), slot(radius)});
}

bool vehicle_needs_restoring(Handle vehicle) {
    return as_bool(call_native(0x62EA75E0, {slot(vehicle)}));
}

std::int32_t restore_area_code(std::uint32_t area_code) {
    return as_int(call_native(0x48ED6432, {slot(area_code)}));
}

std::int32_t distance_3d(float x1, float y1, float z1, float x2, float y2, float z2,
                         float* distance) {
    return as_int(call_native(
        0x23F772E7, {slot(x1), slot(y1), slot(z1), slot(x2), slot(y2), slot(z2), slot(distance)}));
}

std::int32_t distance_2d(float x1, float y1, float x2, float y2, float* distance) {
    return as_int(
        call_native(0x687107CA, {slot(x1), slot(y1), slot(x2), slot(y2), slot(distance)}));
}

std::int32_t ground_height(float x, float y, float z, float* height) {
    return as_int(call_native(0x6D902EE3, {slot(x), slot(y), slot(z), slot(height)}));
}

std::int32_t game_clock(std::int32_t* hour, std::int32_t* minute) {
    return as_int(call_native(0x384B3876, {slot(hour), slot(minute)}));
}

std::int32_t game_date(std::int32_t* day, std::int32_t* month) {
    return as_int(call_native(0x2E5B068F, {slot(day), slot(month)}));
}

float float_stat(std::int32_t stat) {
    return as_float(call_native(0x1D801FC0, {slot(stat)}));
}

std::int32_t streets_at(float x, float y, float z, std::int32_t* first, std::int32_t* second) {
    return as_int(call_native(0x49763A4F, {slot(x), slot(y), slot(z), slot(first), slot(second)}));
}

const char* street_name(std::int32_t street) {
    std::uint32_t text = call_native(0x16E14EA4, {slot(street)});
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(text));
}

std::int32_t add_blip_at(float x, float y, float z, Handle* blip) {
    return as_int(call_native(0x3E7D3074, {slot(x), slot(y), slot(z), slot(blip)}));
}

std::int32_t set_blip_name(Handle blip, const char* name) {
    return as_int(call_native(0x6C9F2330, {slot(blip), slot(name)}));
}

std::int32_t set_text_scale(float x_scale, float y_scale) {
    return as_int(call_native(0x02C069E5, {slot(x_scale), slot(y_scale)}));
}

std::int32_t show_text(float x, float y, const char* text) {
    return as_int(call_native(0x661B239A, {slot(x), slot(y), slot(kPlainTextKey), slot(text)}));
}

void set_text_colour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    call_native(0x19C967B5, {slot(red), slot(green), slot(blue), slot(kOpaqueTextAlpha)});
}

std::int32_t draw_ground_marker(float x, float y, float z, float a, float b, std::int32_t red,
                                std::int32_t green, std::int32_t alpha) {
    return as_int(call_native(0x309860C4, {slot(x), slot(y), slot(z), slot(a), slot(b), slot(red),
                                           slot(green), slot(0), slot(alpha)}));
}

std::int32_t draw_circle(float x, float y, float z, float diameter, std::int32_t red,
                         std::int32_t green, std::int32_t blue) {
    return as_int(call_native(0x29FC3E19, {slot(x), slot(y), slot(z), slot(diameter), slot(red),
                                           slot(green), slot(blue)}));
}

std::int32_t draw_rectangle(float x, float y, float width, float height, std::int32_t red,
                            std::int32_t green, std::int32_t blue, std::int32_t alpha) {
    return as_int(call_native(0x3B2526E3, {slot(x), slot(y), slot(width), slot(height), slot(red),
                                           slot(green), slot(blue), slot(alpha)}));
}

}  // namespace corvalen::natives
