// The platform seam inside the host's Windows process.

#include <windows.h>

#include <time.h>

#include <memory>
#include <new>

#include "host/platform.h"

namespace corvalen::platform {
namespace {

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;
constexpr DWORD kExecuteReadWrite = 0x40;  // PAGE_EXECUTE_READWRITE
constexpr DWORD kModuleFromAddress = 4;    // GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
constexpr DWORD kIdleSleepMilliseconds = 1000;
constexpr DWORD kModulePathLength = 260;

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

PageProtection make_writable(std::uint32_t address, std::uint32_t size) {
    DWORD old = 0;
    if (!VirtualProtect(reinterpret_cast<LPVOID>(address), size, kExecuteReadWrite, &old)) {
        return {};
    }
    return {true, old};
}

void restore_protection(std::uint32_t address, std::uint32_t size, PageProtection protection) {
    if (!protection.changed) {
        return;
    }
    DWORD ignored = 0;
    VirtualProtect(reinterpret_cast<LPVOID>(address), size, protection.old, &ignored);
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

std::int64_t wall_clock_seconds() {
    return _time64(nullptr);
}

}  // namespace corvalen::platform
