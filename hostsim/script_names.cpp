// The names a script gives keys and vehicle models.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "hostsim/script.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

struct NamedKey {
    const char* name;
    std::uint8_t code;
};

// DirectInput scan codes of the keys a player of the game uses.
constexpr NamedKey kKeys[] = {
    {"ESCAPE", 0x01},  {"1", 0x02},         {"2", 0x03},       {"3", 0x04},       {"4", 0x05},
    {"5", 0x06},       {"6", 0x07},         {"7", 0x08},       {"8", 0x09},       {"9", 0x0A},
    {"0", 0x0B},       {"BACKSPACE", 0x0E}, {"TAB", 0x0F},     {"Q", 0x10},       {"W", 0x11},
    {"E", 0x12},       {"R", 0x13},         {"T", 0x14},       {"Y", 0x15},       {"U", 0x16},
    {"I", 0x17},       {"O", 0x18},         {"P", 0x19},       {"ENTER", 0x1C},   {"LCTRL", 0x1D},
    {"A", 0x1E},       {"S", 0x1F},         {"D", 0x20},       {"F", 0x21},       {"G", 0x22},
    {"H", 0x23},       {"J", 0x24},         {"K", 0x25},       {"L", 0x26},       {"SHIFT", 0x2A},
    {"LSHIFT", 0x2A},  {"Z", 0x2C},         {"X", 0x2D},       {"C", 0x2E},       {"V", 0x2F},
    {"B", 0x30},       {"N", 0x31},         {"M", 0x32},       {"COMMA", 0x33},   {"PERIOD", 0x34},
    {"RSHIFT", 0x36},  {"ALT", 0x38},       {"LALT", 0x38},    {"SPACE", 0x39},   {"F1", 0x3B},
    {"F2", 0x3C},      {"F3", 0x3D},        {"F4", 0x3E},      {"F5", 0x3F},      {"F6", 0x40},
    {"F7", 0x41},      {"F8", 0x42},        {"F9", 0x43},      {"F10", 0x44},     {"NUMPAD7", 0x47},
    {"NUMPAD8", 0x48}, {"NUMPAD9", 0x49},   {"NUMPAD4", 0x4B}, {"NUMPAD5", 0x4C}, {"NUMPAD6", 0x4D},
    {"NUMPAD1", 0x4F}, {"NUMPAD2", 0x50},   {"NUMPAD3", 0x51}, {"NUMPAD0", 0x52}, {"F11", 0x57},
    {"F12", 0x58},
};

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "Water taxi" is "water-taxi" in a script.
std::string script_form(const char* game_name) {
    std::string name;
    for (const char* c = game_name; *c != '\0'; ++c) {
        name += *c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return name;
}

}  // namespace

bool scan_code_of(const std::string& name, std::uint8_t& code) {
    if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        unsigned value = 0;
        const char* end = name.data() + name.size();
        auto [stop, error] = std::from_chars(name.data() + 2, end, value, 16);
        if (error != std::errc() || stop != end || value == 0 || value > 0xFF)
            return false;
        code = static_cast<std::uint8_t>(value);
        return true;
    }
    std::string wanted = upper(name);
    for (const NamedKey& key : kKeys) {
        if (wanted == key.name) {
            code = key.code;
            return true;
        }
    }
    return false;
}

std::string key_name(std::uint8_t code) {
    for (const NamedKey& key : kKeys) {
        if (key.code == code)
            return key.name;
    }
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", static_cast<unsigned>(code));
    return text;
}

std::uint32_t model_named(const std::string& name) {
    for (const VehicleModel& model : vehicle_models()) {
        if (script_form(model.name) == name)
            return model.id;
    }
    return 0;
}

std::string model_name(std::uint32_t model) {
    for (const VehicleModel& known : vehicle_models()) {
        if (known.id == model)
            return known.name;
    }
    return hex(model);
}

}  // namespace hostsim
