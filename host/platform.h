#pragma once
// The few things the plug-in needs from the operating system. Windows is the
// real target (platform_win.cpp); the POSIX twin (platform_posix.cpp) lets the
// same code run inside the in-process stand-in host on Linux.

#include <cstdint>
#include <optional>

namespace corvalen::platform {

// Fixed file version of a module file: major, minor, build, revision.
struct FileVersion {
    std::uint16_t major;
    std::uint16_t minor;
    std::uint16_t build;
    std::uint16_t revision;
};

// Load address of the executable that started the process.
std::uint32_t host_module_base();

// File version of the executable that started the process, when it has one.
std::optional<FileVersion> host_file_version();

// Fixed file version from the version resource of any module file; only
// Windows files carry one, so the POSIX twin always answers nothing.
std::optional<FileVersion> file_version_of(const char* path);

// Protection state returned by make_writable, to be handed back to restore_protection.
struct PageProtection {
    bool changed = false;  // the change succeeded, so the old protection must be put back
    std::uint32_t old = 0;
};
PageProtection make_writable(std::uint32_t address, std::uint32_t size);
void restore_protection(std::uint32_t address, std::uint32_t size, PageProtection protection);

// Keeps the plug-in loaded for the life of the process; returns the plug-in's
// module handle (0 when it could not be had).
std::uint32_t pin_plugin();
// Starts the thread that only sleeps; the parameter is handed to it unused.
void start_idle_thread(std::uint32_t parameter);

// Calls the host's native lookup routine with the hash in ESI. An exception
// (a fault) inside the routine yields 0 instead of reaching the host.
std::uint32_t guarded_native_lookup(std::uint32_t routine, std::uint32_t hash);

// Wall-clock seconds since the epoch (the scale of _time64).
std::int64_t wall_clock_seconds();

// A seed for one of the mod's random engines, from the standard random
// device. On POSIX the host process may fix the seeds (the stand-in host
// does, so that its runs repeat).
std::uint32_t random_seed();

}  // namespace corvalen::platform
