#pragma once
// What the POSIX twin of the platform seam asks of the process it lives in.
// On Windows the executable's module handle, version resource and the C
// run time answer these questions; on Linux the host process (the in-process
// stand-in host) defines these functions and exports them, and the plug-in
// refers to them weakly, so a process without them reads as an unknown build.

#include <cstdint>

extern "C" {
// Load address of the host's module image.
std::uint32_t posix_host_module_base();
// Fixed file version of the host executable (major, minor, build, revision);
// false when the executable carries no version.
bool posix_host_file_version(std::uint16_t version[4]);
// Wall-clock seconds; a process without it gets the system clock.
std::int64_t posix_host_wall_clock();
// A seed for one random engine; a process without it gets the random device.
std::uint32_t posix_host_random_seed();
// Protection (PROT_READ, PROT_WRITE, PROT_EXEC bits) the host gave the page
// holding the address; -1 when the address lies in no memory of the host's.
// The plug-in puts this back after rewriting host code. /proc/self/maps
// cannot tell: under a user-mode emulator it describes the emulator's own
// mappings, which merge pages of different protection.
int posix_host_page_protection(std::uint32_t address);
}

// The POSIX twin of the DLL entry notification: the stand-in host calls it
// with reason 1 (process attach) after loading the plug-in's shared object.
inline constexpr const char* kPosixPluginEntryName = "corvalen_process_notification";
using PosixPluginEntry = int (*)(std::uint32_t reason);
