#pragma once
// The stand-in host inside the unit-test process: its module image holds
// every host location the plug-in resolves, and its executable version is the
// one the test chooses before booting it. One per process, booted on first
// use and kept to the end, since the plug-in detects the build once per
// process.

#include <array>
#include <cstdint>
#include <optional>

#include "hostsim/host.h"

namespace corvalen::test {

using HostFileVersion = std::optional<std::array<std::uint16_t, 4>>;

// The version the host will report (1.0.7.0 unless changed before booting;
// nullopt: an executable without version resource).
inline HostFileVersion& test_host_version() {
    static HostFileVersion version = std::array<std::uint16_t, 4>{1, 0, 7, 0};
    return version;
}

// Boots the host if it is not running yet.
inline hostsim::Host& test_host() {
    static hostsim::Host* host = [] {
        hostsim::BootOptions options;
        options.version = test_host_version();
        return new hostsim::Host(options);
    }();
    return *host;
}

inline std::uint32_t boot_test_host() {
    return test_host().image().base();
}

}  // namespace corvalen::test
