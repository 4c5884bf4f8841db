#include "host/host_version.h"

#include <charconv>
#include <cstddef>

namespace corvalen::host {
namespace {

constinit HostVersion g_host_version{};

constexpr std::ptrdiff_t kBuildCodeDigits = 4;

}  // namespace

std::int32_t build_code_from_version(platform::FileVersion version) {
    // Four numbers of up to five digits each: at most 20 digits.
    char digits[24];
    char* end = digits;
    for (std::uint16_t part : {version.major, version.minor, version.build, version.revision}) {
        end = std::to_chars(end, digits + sizeof digits, part).ptr;
    }
    // Only four one-digit numbers, the first not 0, make a build code. Any
    // other digit string could spell one of ours by accident: 0.10.7.0 gives
    // "01070", which would read as 1070.
    if (end - digits != kBuildCodeDigits || digits[0] == '0') {
        return 0;
    }
    std::int32_t code = 0;
    std::from_chars(digits, end, code);
    return code;
}

std::int32_t detect_host_version() {
    auto version = platform::host_file_version();
    if (!version) {
        return 0;
    }
    return build_code_from_version(*version);
}

std::int32_t selector_for_build(std::int32_t build_code) {
    switch (build_code) {
        case kBuild1070:
            return kSelector1070;
        case kBuild1080:
            return kSelector1080;
        default:
            return kUnknownBuild;
    }
}

std::uint32_t resolve_for(const HostVersion& version, HostAddress address) {
    switch (version.selector) {
        case kSelector1070:
            return version.host_base + address.offset_1070;
        case kSelector1080:
            return version.host_base + address.offset_1080;
        default:
            return 0;
    }
}

void initialise_host_version() {
    if (g_host_version.initialised) {
        return;
    }
    g_host_version.selector = selector_for_build(detect_host_version());
    g_host_version.host_base = platform::host_module_base();
    g_host_version.initialised = true;
}

bool host_version_initialised() {
    return g_host_version.initialised;
}

std::uint32_t resolve(std::uint32_t offset_1070, std::uint32_t offset_1080) {
    return resolve(HostAddress{offset_1070, offset_1080});
}

std::uint32_t resolve(HostAddress address) {
    initialise_host_version();
    return resolve_for(g_host_version, address);
}

std::int32_t host_selector() {
    return g_host_version.selector;
}

}  // namespace corvalen::host
