// The platform seam inside the host's Windows process.

#include <windows.h>
// After windows.h: it declares RtlGenRandom, the system's own random source.
#include <ntsecapi.h>

#include <memory>
#include <new>

#include "host/device_seed.h"
#include "host/platform.h"

namespace corvalen::platform {
namespace {

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;
constexpr DWORD kExecuteReadWrite = 0x40;  // PAGE_EXECUTE_READWRITE
constexpr DWORD kModuleFromAddress = 4;    // GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
constexpr DWORD kIdleSleepMilliseconds = 1000;
constexpr DWORD kModulePathLength = 260;

// FILETIME counts 100 ns ticks from 1601-01-01 UTC.
constexpr std::uint64_t kFileTimeTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

constexpr std::uint32_t kPageSize = 4096;
// Both pages' old protections share one word (PAGE_* values fit 16 bits).
constexpr std::uint32_t kLastPageShift = 16;

std::uint32_t page_of(std::uint32_t address) {
    return address & ~(kPageSize - 1);
}

LPVOID to_pointer(std::uint32_t address) {
    return reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(address));
}

DWORD WINAPI idle_thread(LPVOID) {
    for (;;) {
        Sleep(kIdleSleepMilliseconds);
    }
    return 0;
}

}  // namespace

std::uint32_t host_module_base() {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
}

std::optional<FileVersion> file_version_of(const char* path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block || !GetFileVersionInfoA(path, 0, size, block.get())) {
        return std::nullopt;
    }
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.get(), "\\", &fixed, &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    if (info->dwSignature != kFixedFileInfoSignature) {
        return std::nullopt;
    }
    return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                       HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

std::optional<FileVersion> host_file_version() {
    // The executable that started the process, not the plug-in.
    char path[kModulePathLength] = {};
    if (GetModuleFileNameA(nullptr, path, kModulePathLength) == 0) {
        return std::nullopt;
    }
    return file_version_of(path);
}

// A range that straddles two pages gets each page's own protection back: one
// VirtualProtect over both would hand the first page's protection to the
// second, and a host data page next to its code would turn read-only.
PageProtection make_writable(std::uint32_t address, std::uint32_t size) {
    std::uint32_t last = page_of(address + (size == 0 ? 0 : size - 1));
    std::uint32_t in_first = last == page_of(address) ? size : last - address;
    DWORD first_old = 0;
    if (!VirtualProtect(to_pointer(address), in_first, kExecuteReadWrite, &first_old)) {
        return {};
    }
    DWORD last_old = first_old;
    if (in_first != size &&
        !VirtualProtect(to_pointer(last), size - in_first, kExecuteReadWrite, &last_old)) {
        DWORD ignored = 0;
        VirtualProtect(to_pointer(address), in_first, first_old, &ignored);
        return {};
    }
    return {true, (first_old & 0xFFFF) | ((last_old & 0xFFFF) << kLastPageShift)};
}

void restore_protection(std::uint32_t address, std::uint32_t size, PageProtection protection) {
    if (!protection.changed) {
        return;
    }
    std::uint32_t last = page_of(address + (size == 0 ? 0 : size - 1));
    std::uint32_t in_first = last == page_of(address) ? size : last - address;
    DWORD ignored = 0;
    VirtualProtect(to_pointer(address), in_first, protection.old & 0xFFFF, &ignored);
    if (in_first != size) {
        VirtualProtect(to_pointer(last), size - in_first, protection.old >> kLastPageShift,
                       &ignored);
    }
}

std::uint32_t pin_plugin() {
    // Without GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT: the reference
    // taken here is never given back, so the hooks' stubs stay mapped.
    HMODULE module = nullptr;
    GetModuleHandleExA(kModuleFromAddress, reinterpret_cast<LPCSTR>(&pin_plugin), &module);
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(module));
}

void start_idle_thread(std::uint32_t parameter) {
    // The handle is deliberately neither kept nor closed.
    CreateThread(nullptr, 0, idle_thread,
                 reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(parameter)), 0, nullptr);
}

// The system's own calls rather than the run time's: a host process (the
// stand-in among them) can answer a system import of the plug-in, so its runs
// need not wait for the real clock and roll the same dice each time.
std::int64_t wall_clock_seconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    std::uint64_t ticks =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / kFileTimeTicksPerSecond) - kSecondsFrom1601To1970;
}

std::uint32_t random_seed() {
    std::uint32_t seed = 0;
    if (RtlGenRandom(&seed, sizeof(seed))) {
        return seed;
    }
    return device_seed();
}

}  // namespace corvalen::platform
