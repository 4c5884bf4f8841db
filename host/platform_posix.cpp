// The platform seam inside a Linux process: the in-process stand-in host plays
// the executable, and signals stand in for structured exceptions.

#include <dlfcn.h>
#include <pthread.h>
#include <sys/mman.h>

#include <ctime>

#include "host/device_seed.h"
#include "host/platform.h"
#include "host/posix_host_process.h"

// Weak, so a process that does not define them reads as an unknown build;
// default visibility, so the shared object resolves them against the host
// executable rather than keeping them to itself. These redeclarations exist to
// add those attributes.
// NOLINTBEGIN(readability-redundant-declaration)
extern "C" {
__attribute__((weak, visibility("default"))) std::uint32_t posix_host_module_base();
__attribute__((weak, visibility("default"))) bool posix_host_file_version(std::uint16_t version[4]);
__attribute__((weak, visibility("default"))) std::int64_t posix_host_wall_clock();
__attribute__((weak, visibility("default"))) std::uint32_t posix_host_random_seed();
__attribute__((weak, visibility("default"))) int posix_host_page_protection(std::uint32_t address);
}
// NOLINTEND(readability-redundant-declaration)

namespace corvalen::platform {
namespace {

constexpr std::uint32_t kPageSize = 4096;

std::uint32_t page_of(std::uint32_t address) {
    return address & ~(kPageSize - 1);
}

// Protection of the host's page holding the address, as the host process
// reports it; -1 when the address is not the host's.
int current_protection(std::uint32_t address) {
    return posix_host_page_protection != nullptr ? posix_host_page_protection(address) : -1;
}

// The old protection of the first and of the last page of a range share one
// word: the ranges made writable are a few bytes, so at most two pages.
constexpr std::uint32_t kLastPageShift = 8;

void* idle_thread(void*) {
    for (;;) {
        timespec second{1, 0};
        nanosleep(&second, nullptr);
    }
    return nullptr;
}

}  // namespace

std::uint32_t host_module_base() {
    return posix_host_module_base != nullptr ? posix_host_module_base() : 0;
}

std::optional<FileVersion> host_file_version() {
    std::uint16_t parts[4] = {};
    if (posix_host_file_version == nullptr || !posix_host_file_version(parts)) {
        return std::nullopt;
    }
    return FileVersion{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<FileVersion> file_version_of(const char*) {
    return std::nullopt;
}

PageProtection make_writable(std::uint32_t address, std::uint32_t size) {
    std::uint32_t first = page_of(address);
    std::uint32_t last = page_of(address + (size == 0 ? 0 : size - 1));
    int first_old = current_protection(first);
    int last_old = current_protection(last);
    if (first_old < 0 || last_old < 0) {
        return {};
    }
    if (mprotect(reinterpret_cast<void*>(first), last - first + kPageSize,
                 PROT_READ | PROT_WRITE | PROT_EXEC) != 0) {
        return {};
    }
    return {true, static_cast<std::uint32_t>(first_old) |
                      (static_cast<std::uint32_t>(last_old) << kLastPageShift)};
}

void restore_protection(std::uint32_t address, std::uint32_t size, PageProtection protection) {
    if (!protection.changed) {
        return;
    }
    std::uint32_t first = page_of(address);
    std::uint32_t last = page_of(address + (size == 0 ? 0 : size - 1));
    int first_old = static_cast<int>(protection.old & 0xFF);
    int last_old = static_cast<int>((protection.old >> kLastPageShift) & 0xFF);
    mprotect(reinterpret_cast<void*>(first), kPageSize, first_old);
    if (last != first) {
        mprotect(reinterpret_cast<void*>(last), kPageSize, last_old);
    }
}

std::uint32_t pin_plugin() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&pin_plugin), &info) == 0 || info.dli_fname == nullptr) {
        return 0;
    }
    // A second reference that is never dropped, and a promise to the loader
    // never to unmap: the host's code keeps calling into our stubs.
    void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

void start_idle_thread(std::uint32_t parameter) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return;
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    pthread_create(&thread, &attributes, idle_thread,
                   reinterpret_cast<void*>(static_cast<std::uintptr_t>(parameter)));
    pthread_attr_destroy(&attributes);
}

std::int64_t wall_clock_seconds() {
    if (posix_host_wall_clock != nullptr) {
        return posix_host_wall_clock();
    }
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::uint32_t random_seed() {
    if (posix_host_random_seed != nullptr) {
        return posix_host_random_seed();
    }
    return device_seed();
}

}  // namespace corvalen::platform
