// Rewriting a call in code pages the way the host's own are protected.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "host/call_hook.h"

namespace corvalen::host {
namespace {

DWORD protection_at(std::uint32_t address) {
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(reinterpret_cast<LPCVOID>(address), &info, sizeof info);
    return info.Protect;
}

TEST(CallHookWindows, ExecuteReadPagesAreWrittenAndTheirProtectionPutBack) {
    constexpr std::uint32_t kPage = 4096;
    auto* memory = static_cast<std::uint8_t*>(
        VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(memory, nullptr);
    auto base = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(memory));
    // The displacement straddles two pages of different protection.
    std::uint32_t site = base + kPage - 2;
    std::uint32_t old_target = base + 0x10;
    std::uint32_t displacement = old_target - (site + 5);
    memory[kPage - 2] = 0xE8;
    std::memcpy(memory + kPage - 1, &displacement, 4);
    DWORD ignored = 0;
    ASSERT_TRUE(VirtualProtect(memory, kPage, PAGE_EXECUTE_READ, &ignored));
    ASSERT_TRUE(VirtualProtect(memory + kPage, kPage, PAGE_READONLY, &ignored));

    std::uint32_t stub = base + 0x20;
    EXPECT_EQ(install_call_hook(site, stub), old_target);
    std::uint32_t written = 0;
    std::memcpy(&written, memory + kPage - 1, 4);
    EXPECT_EQ(memory[kPage - 2], 0xE8);
    EXPECT_EQ(written, stub - (site + 5));
    EXPECT_EQ(protection_at(base), static_cast<DWORD>(PAGE_EXECUTE_READ));
    EXPECT_EQ(protection_at(base + kPage), static_cast<DWORD>(PAGE_READONLY));
    VirtualFree(memory, 0, MEM_RELEASE);
}

}  // namespace
}  // namespace corvalen::host
