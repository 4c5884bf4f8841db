#include "host/call_hook.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include "code_buffer.h"

namespace corvalen::host {
namespace {

using test::CodeBuffer;
using test::CodeWriter;
using test::read_u32;
using test::write_u32;

constexpr std::uint32_t kPage = 4096;

// Whether a write into the address goes through. Asked of the kernel (a read
// from a pipe into the address), so a protected page answers with EFAULT
// instead of a fault, natively and under an emulator alike.
bool writable(std::uint32_t address) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0)
        return false;
    char byte = *reinterpret_cast<const char*>(address);
    bool written = write(pipe_ends[1], &byte, 1) == 1 &&
                   read(pipe_ends[0], reinterpret_cast<void*>(address), 1) == 1;
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    return written;
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
    CodeWriter(code.base()).bytes({0xC3});  // ret
    ASSERT_EQ(mprotect(reinterpret_cast<void*>(code.base()), kPage, PROT_READ | PROT_EXEC), 0);
    ASSERT_EQ(mprotect(reinterpret_cast<void*>(code.base() + kPage), kPage, PROT_READ), 0);
    hostsim::record_page_protection(code.base(), kPage, PROT_READ | PROT_EXEC);
    hostsim::record_page_protection(code.base() + kPage, kPage, PROT_READ);
    ASSERT_FALSE(writable(site)) << "the probe sees protection";

    EXPECT_EQ(install_call_hook(site, code.base() + 0x20), code.base() + 0x10);
    EXPECT_EQ(read_u32(site + 1), code.base() + 0x20 - (site + 5));
    EXPECT_FALSE(writable(code.base()));
    EXPECT_FALSE(writable(code.base() + kPage));
    test::call_at(code.base());  // still executable, or this faults
}

}  // namespace
}  // namespace corvalen::host
