#pragma once
// The standard random device as both platform twins use it for seeds.

#include <cstdint>
#include <ctime>
#include <random>

namespace corvalen::platform {

// One word of the random device. A device that cannot be opened throws; the
// wall clock then stands in, which still differs from run to run.
inline std::uint32_t device_seed() noexcept {
    try {
        std::random_device device;
        return device();
    } catch (...) {
        return static_cast<std::uint32_t>(std::time(nullptr));
    }
}

}  // namespace corvalen::platform
