#include "hostsim/host_layout.h"

#include <charconv>
#include <limits>

namespace hostsim {

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
    using Version = std::array<std::uint16_t, 4>;
    switch (build) {
        case Build::v1070:
            return Version{1, 0, 7, 0};
        case Build::v1080:
            return Version{1, 0, 8, 0};
        case Build::v1071:
            return Version{1, 0, 7, 1};
        case Build::v10700:
            return Version{10, 7, 0, 0};
        case Build::overflow:
            return Version{65535, 65535, 65535, 65535};
        case Build::no_version:
            break;
    }
    return std::nullopt;
}

const BuildLayout& default_layout(Build build) {
    return build == Build::v1080 ? layout_1080() : layout_1070();
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
    std::int32_t code = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (error != std::errc() || end != digits.data() + digits.size())
        return 0;
    return code;
}

std::optional<Build> parse_build(const std::string& name) {
    if (name == "1070")
        return Build::v1070;
    if (name == "1080")
        return Build::v1080;
    if (name == "1071")
        return Build::v1071;
    if (name == "10700")
        return Build::v10700;
    if (name == "noversion")
        return Build::no_version;
    if (name == "overflow")
        return Build::overflow;
    return std::nullopt;
}

}  // namespace hostsim
