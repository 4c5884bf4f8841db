#include "test_host.h"

#include "hostsim/host.h"

namespace corvalen::test {

HostFileVersion& test_host_version() {
    static HostFileVersion version = std::array<std::uint16_t, 4>{1, 0, 7, 0};
    return version;
}

hostsim::Host& test_host() {
    static hostsim::Host* host = [] {
        hostsim::BootOptions options;
        options.version = test_host_version();
        return new hostsim::Host(options);
    }();
    return *host;
}

std::uint32_t boot_test_host() {
    return test_host().image().base();
}

}  // namespace corvalen::test
