#pragma once
// Every setting a player can change in corvalen/corvalen.conf: its key, its
// default and what it does. Features read their settings only through these
// entries (Config::get), and the configuration file the release ships is
// written from this table at build time, so the file and the plug-in cannot
// disagree about a default.

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>

namespace corvalen {

template <typename Value>
struct Setting {
    std::string_view key;
    Value fallback;  // used when the file lacks the key
    // The heading the shipped file lists the key under, and the comment
    // above the key there.
    std::string_view group;
    std::string_view about;
};

namespace settings {

inline constexpr std::string_view kTransit = "Buses, ferries and ships";
inline constexpr std::string_view kFuelDisplay = "The fuel display while you drive";
inline constexpr std::string_view kMapMarks = "Map marks";
inline constexpr std::string_view kBackups = "Backups";

inline constexpr Setting<std::int32_t> max_busses{
    "max_busses", 6, kTransit, "Most buses on the road at a time (0: no buses)."};
inline constexpr Setting<std::int32_t> max_ferries{
    "max_ferries", 5, kTransit, "Most ferries on the water at a time (0: no ferries)."};
inline constexpr Setting<std::int32_t> max_ships{"max_ships", 2, kTransit,
                                                 "Most ships at sea at a time (0: no ships)."};
inline constexpr Setting<std::int32_t> bus_spawn_delay{
    "bus_spawn_delay", 6000, kTransit,
    "Milliseconds of game time between two tries at starting a bus, ferry or\n"
    "ship somewhere out of sight."};
inline constexpr Setting<std::int32_t> bus_spawn_spot_delay{
    "bus_spawn_spot_delay", 60000, kTransit,
    "Milliseconds of game time before another bus may start at the same spot."};
inline constexpr Setting<bool> bus_respect_traffic{
    "bus_respect_traffic", true, kTransit,
    "With you aboard, a bus keeps to the traffic (true) or pushes through it\n"
    "(false)."};

inline constexpr Setting<float> fuel_ui_x{
    "fuel_ui_x", 0.05f, kFuelDisplay,
    "Where the fuel text starts, as a fraction of the screen's width\n"
    "(0 left edge, 1 right edge); the distance, speed and fuel bar follow it."};
inline constexpr Setting<float> fuel_ui_y{
    "fuel_ui_y", 0.97f, kFuelDisplay,
    "Height of the display line, as a fraction of the screen's height\n"
    "(0 top, 1 bottom)."};
inline constexpr Setting<float> fuel_ui_size{"fuel_ui_size", 0.3f, kFuelDisplay,
                                             "Size of the display's text."};

inline constexpr Setting<bool> blip_gas_station{"blip_gas_station", false, kMapMarks,
                                                "Gas stations on the map (true or false)."};
inline constexpr Setting<bool> blip_car_service{"blip_car_service", false, kMapMarks,
                                                "Repair shops on the map (true or false)."};
inline constexpr Setting<bool> blip_hotels{"blip_hotels", false, kMapMarks,
                                           "Hotels on the map (true or false)."};

inline constexpr Setting<std::int32_t> keep_backups{
    "keep_backups", 0, kBackups,
    "Copies of a save's folder kept before each autosave writes it\n"
    "(corvalen/3.backup1 is the newest copy of corvalen/3); 0 keeps none."};

}  // namespace settings

using AnySetting =
    std::variant<const Setting<std::int32_t>*, const Setting<float>*, const Setting<bool>*>;

// Every setting, in the order the shipped file lists them; the keys of one
// group stand together.
inline constexpr std::array<AnySetting, 13> kAllSettings{
    &settings::max_busses,
    &settings::max_ferries,
    &settings::max_ships,
    &settings::bus_spawn_delay,
    &settings::bus_spawn_spot_delay,
    &settings::bus_respect_traffic,
    &settings::fuel_ui_x,
    &settings::fuel_ui_y,
    &settings::fuel_ui_size,
    &settings::blip_gas_station,
    &settings::blip_car_service,
    &settings::blip_hotels,
    &settings::keep_backups,
};

}  // namespace corvalen
