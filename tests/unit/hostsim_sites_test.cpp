// The call-site routines catch a stub that disturbs what the game passes its
// functions. (That honest stubs pass shows in the hook stub and attach tests.)

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
    // A fresh piece of scratch code for one stub.
    CodeWriter stub() { return CodeWriter(host.image().scratch_code() + 0x80 * used_++); }
    // Points the site's call at the stub, as the plug-in's attach does.
    void divert(int event, const CodeWriter& stub_code) {
        CodeWriter(sites().site_address(event)).call(stub_code.start());
    }

    Host host;
    std::uint32_t used_ = 0;
};

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

TEST_P(SitesTest, StubThatLeavesItsScriptRecordActiveIsReported) {
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
