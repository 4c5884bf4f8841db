#include "host/call_hook.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdio>
#include <string>

#include "code_buffer.h"

namespace corvalen::host {
namespace {

using test::CodeBuffer;
using test::CodeWriter;
using test::read_u32;
using test::write_u32;

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

// Whatever stood at the site becomes a relative call to the stub; the old
// target is read as the processor would, displacements wrapping around.
TEST(CallHook, RedirectsTheCallAndReturnsWhereItWentBefore) {
    CodeBuffer code;
    const std::uint32_t site = code.base() + 0x200;
    struct Case {
        std::uint32_t displacement;
        std::uint32_t old_target;
        std::uint32_t stub;
    } cases[] = {
        {0x600, site + 5 + 0x600, code.base() + 0x2000},
        {0xFFFFFF00, site + 5 - 0x100, code.base() + 0x2000},  // backwards
        {0u - (site + 5) + 0x10, 0x10, code.base()},           // past the top of memory
    };
    for (const Case& c : cases) {
        CodeWriter(site).bytes({0xE9});  // a jump, say
        write_u32(site + 1, c.displacement);
        CodeWriter(site + 5).bytes({0x90});
        EXPECT_EQ(install_call_hook(site, c.stub), c.old_target);
        EXPECT_EQ(byte_at(site), 0xE8);
        EXPECT_EQ(read_u32(site + 1), c.stub - (site + 5));
        EXPECT_EQ(byte_at(site + 5), 0x90);  // nothing beyond the five bytes
    }
    EXPECT_EQ(install_call_hook(0, 0x1234), 0u) << "site 0 is skipped";
}

TEST(CallHook, ReadOnlyCodePagesAreWrittenAndTheirProtectionPutBack) {
    CodeBuffer code(2 * kPage, PROT_READ | PROT_WRITE);
    // The displacement straddles two pages of different protection.
    std::uint32_t site = code.base() + kPage - 2;
    CodeWriter(site).call(code.base() + 0x10);
    ASSERT_EQ(mprotect(reinterpret_cast<void*>(code.base()), kPage, PROT_READ | PROT_EXEC), 0);
    ASSERT_EQ(mprotect(reinterpret_cast<void*>(code.base() + kPage), kPage, PROT_READ), 0);

    EXPECT_EQ(install_call_hook(site, code.base() + 0x20), code.base() + 0x10);
    EXPECT_EQ(read_u32(site + 1), code.base() + 0x20 - (site + 5));
    EXPECT_EQ(permissions_at(code.base()).substr(0, 3), "r-x");
    EXPECT_EQ(permissions_at(code.base() + kPage).substr(0, 3), "r--");
}

}  // namespace
}  // namespace corvalen::host
