#pragma once
// Which build of the host executable is running, and where host locations
// are in this process. Only builds 1070 and 1080 are known; on any other
// build every host address is 0 and the plug-in stays silent.

#include <cstdint>

#include "host/host_addresses.h"
#include "host/platform.h"

namespace corvalen::host {

inline constexpr std::int32_t kBuild1070 = 1070;
inline constexpr std::int32_t kBuild1080 = 1080;

// 0 unknown build, 1 build 1070, 2 build 1080.
inline constexpr std::int32_t kUnknownBuild = 0;
inline constexpr std::int32_t kSelector1070 = 1;
inline constexpr std::int32_t kSelector1080 = 2;

struct HostVersion {
    bool initialised = false;
    std::int32_t selector = kUnknownBuild;
    std::uint32_t host_base = 0;
};

// The four version numbers written in decimal one after the other and read
// as a number (1.0.7.0 -> 1070, 1.0.7.1 -> 1071), when that gives exactly
// four digits without a leading zero, that is, four one-digit numbers the
// first of which is not 0; 0 for every other version (10.7.0.0, 0.10.7.0).
std::int32_t build_code_from_version(platform::FileVersion version);

// Build code of the executable that started the process, 0 when unreadable.
std::int32_t detect_host_version();

std::int32_t selector_for_build(std::int32_t build_code);

// host_base plus the offset of the selected build, 0 on an unknown build.
std::uint32_t resolve_for(const HostVersion& version, HostAddress address);

// Detects the build on first use; afterwards the state never changes.
void initialise_host_version();
bool host_version_initialised();

std::uint32_t resolve(std::uint32_t offset_1070, std::uint32_t offset_1080);
std::uint32_t resolve(HostAddress address);

// Valid once resolve or the attach sequence has run.
std::int32_t host_selector();

}  // namespace corvalen::host
