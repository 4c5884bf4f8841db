#pragma once
// The stand-in host inside the unit-test process: its module image holds
// every host location the plug-in resolves, and its executable version is the
// one the test chooses before booting it. One per process, booted on first
// use and kept to the end, since the plug-in detects the build once per
// process.

#include <array>
#include <cstdint>
#include <optional>

namespace hostsim {
class Host;
}

namespace corvalen::test {

using HostFileVersion = std::optional<std::array<std::uint16_t, 4>>;

// The version the host will report (1.0.7.0 unless changed before booting;
// nullopt: an executable without version resource).
HostFileVersion& test_host_version();

// Boots the host if it is not running yet; returns its module base.
std::uint32_t boot_test_host();
hostsim::Host& test_host();

}  // namespace corvalen::test
