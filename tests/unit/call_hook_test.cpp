#include "host/call_hook.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "code_buffer.h"

namespace corvalen::host {
namespace {

using test::CodeBuffer;
using test::CodeWriter;

constexpr std::uint32_t kPage = 4096;

// "r-xp" and the like, as the kernel lists the mapping holding the address.
std::string permissions_at(std::uint32_t address) {
    std::FILE* maps = std::fopen("/proc/self/maps", "r");
    char line[512];
    std::string found;
    while (maps != nullptr && std::fgets(line, sizeof line, maps) != nullptr) {
        unsigned long start = 0, end = 0;
        char permissions[5] = {};
        if (std::sscanf(line, "%lx-%lx %4s", &start, &end, permissions) == 3 && address >= start &&
            address < end) {
            found = permissions;
            break;
        }
    }
    if (maps != nullptr)
        std::fclose(maps);
    return found;
}

std::uint8_t byte_at(std::uint32_t address) {
    return *reinterpret_cast<std::uint8_t*>(address);
}

TEST(CallHook, RedirectsTheCallAndReturnsWhereItWentBefore) {
    CodeBuffer code;
    std::uint32_t site = code.base() + 0x100;
    std::uint32_t old_target = code.base() + 0x800;
    code.seek(site);
    code.call(old_target);
    std::uint32_t stub = code.base() + 0x2000;

    EXPECT_EQ(install_call_hook(site, stub), old_target);
    EXPECT_EQ(byte_at(site), 0xE8);
    EXPECT_EQ(CodeWriter::get(site + 1), stub - (site + 5));
}

TEST(CallHook, DisplacementsWrapAroundLikeTheProcessorsDo) {
    CodeBuffer code;
    std::uint32_t site = code.base() + 0x200;
    code.seek(site);
    code.bytes({0xE8});
    code.u32(0xFFFFFF00);  // backwards
    EXPECT_EQ(install_call_hook(site, code.base()), site + 5 - 0x100);

    // Past the top of the address space and round to 0x10.
    code.seek(site);
    code.bytes({0xE8});
    code.u32(0u - (site + 5) + 0x10);
    EXPECT_EQ(install_call_hook(site, code.base()), 0x10u);

    // A stub below the site gives a negative displacement.
    install_call_hook(site, code.base());
    EXPECT_EQ(static_cast<std::int32_t>(CodeWriter::get(site + 1)), -0x205);
}

TEST(CallHook, WhateverStoodAtTheSiteBecomesARelativeCall) {
    CodeBuffer code;
    std::uint32_t site = code.base() + 0x40;
    code.seek(site);
    code.bytes({0xE9, 0x10, 0, 0, 0, 0x90});  // a jump, then a nop
    EXPECT_EQ(install_call_hook(site, code.base() + 0x400), site + 5 + 0x10);
    EXPECT_EQ(byte_at(site), 0xE8);
    EXPECT_EQ(byte_at(site + 5), 0x90);  // nothing beyond the five bytes
}

TEST(CallHook, SiteZeroIsSkipped) {
    EXPECT_EQ(install_call_hook(0, 0x1234), 0u);
}

TEST(CallHook, ReadOnlyCodePagesAreWrittenAndTheirProtectionPutBack) {
    CodeBuffer code(2 * kPage, PROT_READ | PROT_WRITE);
    // The displacement straddles two pages of different protection.
    std::uint32_t site = code.base() + kPage - 2;
    code.seek(site);
    code.call(code.base() + 0x10);
    ASSERT_EQ(mprotect(reinterpret_cast<void*>(code.base()), kPage, PROT_READ | PROT_EXEC), 0);
    ASSERT_EQ(mprotect(reinterpret_cast<void*>(code.base() + kPage), kPage, PROT_READ), 0);

    EXPECT_EQ(install_call_hook(site, code.base() + 0x20), code.base() + 0x10);
    EXPECT_EQ(CodeWriter::get(site + 1), code.base() + 0x20 - (site + 5));
    EXPECT_EQ(permissions_at(code.base()).substr(0, 3), "r-x");
    EXPECT_EQ(permissions_at(code.base() + kPage).substr(0, 3), "r--");
}

}  // namespace
}  // namespace corvalen::host
