// The stand-in's side of the calling forms: its lookup routine answers as the
// game's does, and its call-site routines catch a stub that disturbs what the
// game passes its functions. (That honest stubs pass shows in the hook stub
// and attach tests.)

#include <gtest/gtest.h>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"
#include "hostsim/x86_writer.h"

namespace hostsim {
namespace {

class SitesTest : public ::testing::TestWithParam<Build> {
  protected:
    SitesTest() : host(boot_options(GetParam())) {}

    CallSites& sites() { return host.image().sites(); }
    // A fresh piece of scratch code.
    CodeWriter stub() { return CodeWriter(host.image().scratch_code() + 0x80 * used_++); }
    // Points the site's call at the stub, as the plug-in's attach does.
    void divert(int event, const CodeWriter& stub_code) {
        CodeWriter(sites().site_address(event)).call(stub_code.start());
    }

    Host host;
    std::uint32_t used_ = 0;
};

TEST_P(SitesTest, TheLookupTakesTheHashInEsiAnswersInEaxAndKeepsEveryOtherRegister) {
    const Reg kept[] = {Reg::ebx, Reg::ecx, Reg::edx, Reg::edi, Reg::ebp, Reg::esi};
    const std::uint32_t out = host.image().scratch_code() + 0x800;
    for (std::uint32_t hash : {0x62E319C6u, 0x12345678u}) {
        CodeWriter probe = stub();
        probe.pushad();
        for (std::uint32_t i = 0; i < 5; ++i)
            probe.mov_imm(kept[i], 0x11111111u * (i + 1));
        probe.mov_imm(Reg::esi, hash);
        probe.call(host.image().native_lookup_routine());
        probe.store(out, Reg::eax);
        for (std::uint32_t i = 0; i < 6; ++i)
            probe.store(out + 4 + 4 * i, kept[i]);
        probe.popad();
        probe.ret();
        reinterpret_cast<void (*)()>(static_cast<std::uintptr_t>(probe.start()))();

        EXPECT_EQ(read_u32(out) != 0, hash == 0x62E319C6u) << "a handler only for a known hash";
        for (std::uint32_t i = 0; i < 5; ++i)
            EXPECT_EQ(read_u32(out + 4 + 4 * i), 0x11111111u * (i + 1)) << "register " << i;
        EXPECT_EQ(read_u32(out + 24), hash) << "ESI";
    }
    EXPECT_EQ(host.unknown_lookups().at(0x12345678), 1);
}

TEST_P(SitesTest, StubsThatDisturbTheCallAreReported) {
    const struct {
        int event;
        void (*write)(CodeWriter&, std::uint32_t target);
        std::uint32_t problems;
    } cases[] = {
        {3, [](CodeWriter& c, std::uint32_t t) { c.mov_imm(Reg::ebx, 0), c.jmp(t); },
         kEntryEbx | kKeptEbx},
        // A before stub that calls instead of jumping.
        {7, [](CodeWriter& c, std::uint32_t t) { c.call(t), c.ret(); },
         kEntryReturnAddress | kEntryStackPointer | kEntryFirstArgument | kEntrySecondArgument},
        // An after stub that loses the result.
        {5,
         [](CodeWriter& c, std::uint32_t t) {
             c.call(t), c.bytes({0x31, 0xC0}), c.ret();
         },
         kResultEax},
    };
    for (const auto& c : cases) {
        CodeWriter bad = stub();
        c.write(bad, sites().target_address(c.event));
        divert(c.event, bad);
    }
    host.run_frame();
    EXPECT_EQ(host.hooks().first_problem, "frame 1, site 3: EBX at entry, EBX after the call");
    for (const auto& c : cases)
        EXPECT_EQ(host.hooks().problems[c.event - 1], c.problems) << c.event;
    EXPECT_FALSE(host.hooks().after_eax_ok());
    EXPECT_EQ(host.hooks().problems[5], 0u);
}

TEST_P(SitesTest, AStubThatLeavesItsScriptRecordActiveIsReported) {
    ScriptCaller own(host);
    CodeWriter bad = stub();
    bad.mov_imm(Reg::eax, own.record());
    bad.store(host.image().base() + host.image().layout().active_script, Reg::eax);
    bad.jmp(sites().target_address(1));
    divert(1, bad);
    host.run_frame();
    EXPECT_FALSE(host.hooks().script_pointer_ok);
    EXPECT_EQ(host.hooks().problems[0], kEntryScriptPointer);
    // The game puts its own record back after reporting, so frames go on.
    EXPECT_EQ(host.image().active_script(), host.image().host_script_record());
}

INSTANTIATE_TEST_SUITE_P(Builds, SitesTest, ::testing::Values(Build::v1070, Build::v1080),
                         [](const auto& info) {
                             return info.param == Build::v1070 ? "b1070" : "b1080";
                         });

}  // namespace
}  // namespace hostsim
