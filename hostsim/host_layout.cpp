#include "hostsim/host_layout.h"

#include <charconv>

namespace hostsim {
namespace {

using Version = std::array<std::uint16_t, 4>;

// The executables the stand-in plays: the name the Linux runner takes and
// their version resource.
struct BuildName {
    Build build;
    const char* name;
    std::optional<Version> version;
};

const BuildName kBuilds[] = {
    {Build::v1070, "1070", Version{1, 0, 7, 0}},
    {Build::v1080, "1080", Version{1, 0, 8, 0}},
    {Build::v1071, "1071", Version{1, 0, 7, 1}},
    {Build::v10700, "10700", Version{10, 7, 0, 0}},
    {Build::v01070, "01070", Version{0, 10, 7, 0}},
    {Build::no_version, "noversion", std::nullopt},
    {Build::overflow, "overflow", Version{65535, 65535, 65535, 65535}},
};

}  // namespace

const BuildLayout& layout_1070() {
    static const BuildLayout layout{
        .code = 1070,
        .native_lookup = 0x1A76D0,
        .active_script = 0x1449AE0,
        .game_timer = 0xDDDE74,
        .player_accessor = 0x417F40,
        .vehicle_pool = 0x1219240,
        .pool_lookup = 0x26700,
        .second_pool = 0x14A82AC,
        .clock_seconds = 0xDD530C,
        .vehicle_factory = 0x11F5514,
        .pedestrian_factory = 0x11E35A0,
        .model_index_lookup = 0x58AAE0,
        .model_request = 0x76C3D0,
        .load_requested_models = 0x432C20,
        .after_creation = 0x417350,
        .handle_from_object = 0x47230,
        .sites = {0x21601, 0x4ADB38, 0x4ADA9D, 0x46AFA8, 0x7FE9C6, 0x3C4002, 0x52C4C2, 0x3B2E27},
    };
    return layout;
}

const BuildLayout& layout_1080() {
    static const BuildLayout layout{
        .code = 1080,
        .native_lookup = 0x226AF0,
        .active_script = 0x1394FB4,
        .game_timer = 0xCFCB6C,
        .player_accessor = 0x3CD230,
        .vehicle_pool = 0xE52CD0,
        .pool_lookup = 0x92E00,
        .second_pool = 0x14CB03C,
        .clock_seconds = 0xD516A0,
        .vehicle_factory = 0xE52DE8,
        .pedestrian_factory = 0xE52DE0,
        .model_index_lookup = 0x4DD2D0,
        .model_request = 0x7191D0,
        .load_requested_models = 0x4B4BB0,
        .after_creation = 0x3CC640,
        .handle_from_object = 0xAFF10,
        .sites = {0x95141, 0x770748, 0x7706AD, 0x60E1C8, 0x652C26, 0x46A802, 0x694232, 0x456C27},
    };
    return layout;
}

std::optional<std::array<std::uint16_t, 4>> build_file_version(Build build) {
    for (const BuildName& known : kBuilds) {
        if (known.build == build)
            return known.version;
    }
    return std::nullopt;
}

std::string version_text(const std::optional<std::array<std::uint16_t, 4>>& version) {
    if (!version)
        return "none";
    std::string text;
    for (std::size_t i = 0; i < version->size(); ++i) {
        if (i != 0)
            text += '.';
        text += std::to_string((*version)[i]);
    }
    return text;
}

std::int32_t build_code(const std::optional<std::array<std::uint16_t, 4>>& version) {
    if (!version)
        return 0;
    std::string digits;
    for (std::uint16_t part : *version)
        digits += std::to_string(part);
    if (digits.size() != 4 || digits[0] == '0')
        return 0;
    std::int32_t code = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), code);
    return code;
}

std::optional<Build> parse_build(const std::string& name) {
    for (const BuildName& known : kBuilds) {
        if (name == known.name)
            return known.build;
    }
    return std::nullopt;
}

}  // namespace hostsim
