// The stand-in's native lookup routine as the plug-in meets it: the hash in
// ESI, the handler in EAX, every other register kept.

#include <gtest/gtest.h>

#include "hostsim/host.h"

// Calls the lookup routine with the hash in ESI and known values in every
// other register, then records EAX and the registers as the routine left
// them: out[0] EAX, [1] EBX, [2] ESI, [3] EDI, [4] EBP, [5] ECX, [6] EDX.
extern "C" void hostsim_test_lookup_probe(std::uint32_t routine, std::uint32_t hash,
                                          std::uint32_t* out);
__asm__(R"(
    .text
    .globl hostsim_test_lookup_probe
    .type hostsim_test_lookup_probe, @function
hostsim_test_lookup_probe:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 20(%esp), %eax
    movl 24(%esp), %esi
    movl $0x11111111, %ebx
    movl $0x22222222, %edi
    movl $0x33333333, %ebp
    movl $0x44444444, %ecx
    movl $0x55555555, %edx
    call *%eax
    pushl %eax
    movl 32(%esp), %eax
    movl %ebx, 4(%eax)
    movl %esi, 8(%eax)
    movl %edi, 12(%eax)
    movl %ebp, 16(%eax)
    movl %ecx, 20(%eax)
    movl %edx, 24(%eax)
    popl %ecx
    movl %ecx, 0(%eax)
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
    .size hostsim_test_lookup_probe, .-hostsim_test_lookup_probe
)");

namespace hostsim {
namespace {

constexpr std::uint32_t kPlayerIndexNative = 0x62E319C6;

class ImageTest : public ::testing::TestWithParam<Build> {};

TEST_P(ImageTest, LookupAnswersInEaxAndKeepsEveryOtherRegister) {
    Host host(boot_options(GetParam()));
    std::uint32_t routine = host.image().base() + host.image().layout().native_lookup;

    std::uint32_t known[7] = {};
    hostsim_test_lookup_probe(routine, kPlayerIndexNative, known);
    EXPECT_NE(known[0], 0u);
    EXPECT_GE(known[0], host.image().base());
    EXPECT_LT(known[0], host.image().base() + kImageSize);

    std::uint32_t unknown[7] = {};
    hostsim_test_lookup_probe(routine, 0x12345678, unknown);
    EXPECT_EQ(unknown[0], 0u);
    EXPECT_EQ(host.unknown_lookups().at(0x12345678), 1);

    for (const std::uint32_t* registers : {known, unknown}) {
        EXPECT_EQ(registers[1], 0x11111111u);
        EXPECT_EQ(registers[3], 0x22222222u);
        EXPECT_EQ(registers[4], 0x33333333u);
        EXPECT_EQ(registers[5], 0x44444444u);
        EXPECT_EQ(registers[6], 0x55555555u);
    }
    EXPECT_EQ(known[2], kPlayerIndexNative);
    EXPECT_EQ(unknown[2], 0x12345678u);
}

INSTANTIATE_TEST_SUITE_P(Builds, ImageTest, ::testing::Values(Build::v1070, Build::v1080),
                         [](const auto& info) {
                             return info.param == Build::v1070 ? "b1070" : "b1080";
                         });

}  // namespace
}  // namespace hostsim
