#pragma once
// A stand-in for the host executable's image inside the unit-test process:
// enough mapped memory to hold every host location the plug-in resolves, and
// the version the "executable" reports. The process-side functions the
// plug-in asks (posix_host_*) are defined weakly over it, so a real stand-in
// host linked into the same tests takes precedence.

#include <cstdint>

namespace corvalen::test {

inline constexpr std::uint32_t kFakeHostImageSize = 0x1600000;

// The version reported until the plug-in first detects the build (1.0.7.0
// by default); has_version false reports an executable without one.
struct FakeHostVersion {
    bool has_version = true;
    std::uint16_t parts[4] = {1, 0, 7, 0};
};
FakeHostVersion& fake_host_version();

// Base of the image, mapped read-write-execute on first use.
std::uint32_t fake_host_base();

}  // namespace corvalen::test
