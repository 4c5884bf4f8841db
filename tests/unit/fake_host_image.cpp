#include "fake_host_image.h"

#include <sys/mman.h>

namespace corvalen::test {

FakeHostVersion& fake_host_version() {
    static FakeHostVersion version;
    return version;
}

std::uint32_t fake_host_base() {
    static std::uint32_t base = [] {
        void* image = mmap(nullptr, kFakeHostImageSize, PROT_READ | PROT_WRITE | PROT_EXEC,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        return image == MAP_FAILED
                   ? 0u
                   : static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(image));
    }();
    return base;
}

}  // namespace corvalen::test

extern "C" {

__attribute__((weak)) std::uint32_t posix_host_module_base() {
    return corvalen::test::fake_host_base();
}

__attribute__((weak)) bool posix_host_file_version(std::uint16_t version[4]) {
    const auto& fake = corvalen::test::fake_host_version();
    for (int i = 0; i < 4; ++i) {
        version[i] = fake.parts[i];
    }
    return fake.has_version;
}

}  // extern "C"
