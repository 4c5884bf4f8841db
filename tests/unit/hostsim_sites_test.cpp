// The call-site routines catch a stub that disturbs what the game passes its
// functions, and pass one that hands everything through. The stubs here are
// written the way a plug-in would write its own.

#include <gtest/gtest.h>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"
#include "hostsim/x86_writer.h"

namespace hostsim {
namespace {

// What the tick stub calls: one native, as the plug-in's frame tick would.
Host* g_host = nullptr;
int g_ticks = 0;
void frame_tick() {
    ++g_ticks;
    ScriptCaller script(*g_host);
    script.call(0x34F9164D, {});
}

class SitesTest : public ::testing::TestWithParam<Build> {
  protected:
    SitesTest() : host(boot_options(GetParam())) {}

    CallSites& sites() { return host.image().sites(); }
    std::uint32_t script_global() {
        return host.image().base() + host.image().layout().active_script;
    }

    // A fresh piece of scratch code for one stub.
    CodeWriter stub() {
        CodeWriter code(host.image().scratch_code() + 0x80 * used_++);
        return code;
    }
    // Points the site's call at the stub, as the plug-in's attach does.
    void divert(int event, const CodeWriter& stub_code) {
        CodeWriter site(sites().site_address(event));
        site.call(stub_code.start());
    }

    CodeWriter honest_before(int event) {
        CodeWriter code = stub();
        code.pushad();
        code.popad();
        code.jmp(sites().target_address(event));
        return code;
    }
    CodeWriter honest_after(int event) {
        CodeWriter code = stub();
        code.call(sites().target_address(event));
        code.pushad();
        code.popad();
        code.ret();
        return code;
    }

    Host host;
    std::uint32_t used_ = 0;
};

TEST_P(SitesTest, UndivertedSitesRunCleanOncePerFrame) {
    host.run_frames(3);
    EXPECT_FALSE(host.hooks().corrupted()) << host.hooks().first_problem;
    EXPECT_EQ(host.patched_site_count(), 0);
    for (int event = 1; event <= kSiteCount; ++event) {
        EXPECT_EQ(host.hooks().runs[static_cast<std::size_t>(event - 1)], 3);
    }
    EXPECT_EQ(host.frame_ticks(), 0);
}

TEST_P(SitesTest, HonestStubsOnEverySitePass) {
    for (int event = 1; event <= kSiteCount; ++event) {
        divert(event, is_after_site(event) ? honest_after(event) : honest_before(event));
    }
    EXPECT_EQ(host.patched_site_count(), 8);
    host.run_frames(2);
    EXPECT_FALSE(host.hooks().corrupted()) << host.hooks().first_problem;
    EXPECT_TRUE(host.hooks().after_eax_ok());
    EXPECT_TRUE(host.hooks().script_pointer_ok);
}

TEST_P(SitesTest, StubThatClobbersEbxIsReported) {
    CodeWriter bad = stub();
    bad.mov_imm(Reg::ebx, 0);
    bad.jmp(sites().target_address(3));
    divert(3, bad);
    host.run_frame();
    EXPECT_TRUE(host.hooks().corrupted());
    EXPECT_EQ(host.hooks().problems[2], kEntryEbx | kKeptEbx);
    EXPECT_EQ(host.hooks().first_problem, "frame 1, site 3: EBX at entry, EBX after the call");
    EXPECT_EQ(host.hooks().failed_runs[0], 0);
}

TEST_P(SitesTest, BeforeStubThatCallsInsteadOfJumpingDisturbsTheStack) {
    CodeWriter bad = stub();
    bad.call(sites().target_address(7));
    bad.ret();
    divert(7, bad);
    host.run_frame();
    std::uint32_t seen = host.hooks().problems[6];
    EXPECT_TRUE(seen & kEntryReturnAddress);
    EXPECT_TRUE(seen & kEntryStackPointer);
    EXPECT_TRUE(seen & kEntryFirstArgument);
}

TEST_P(SitesTest, AfterStubThatLosesTheResultIsReported) {
    CodeWriter bad = stub();
    bad.call(sites().target_address(5));
    bad.bytes({0x31, 0xC0});  // xor eax, eax
    bad.ret();
    divert(5, bad);
    divert(6, honest_after(6));
    host.run_frame();
    EXPECT_FALSE(host.hooks().after_eax_ok());
    EXPECT_EQ(host.hooks().problems[4], kResultEax);
    EXPECT_EQ(host.hooks().problems[5], 0u);
}

TEST_P(SitesTest, StubThatLeavesItsScriptRecordActiveIsReported) {
    ScriptCaller own(host);
    CodeWriter bad = stub();
    bad.mov_imm(Reg::eax, own.record());
    bad.store(script_global(), Reg::eax);
    bad.jmp(sites().target_address(1));
    divert(1, bad);
    host.run_frame();
    EXPECT_FALSE(host.hooks().script_pointer_ok);
    EXPECT_EQ(host.hooks().problems[0], kEntryScriptPointer);
    // The game puts its own record back after reporting, so frames go on.
    EXPECT_EQ(host.image().active_script(), host.image().host_script_record());
}

TEST_P(SitesTest, TicksCountFramesWhoseSiteOneRanNativesForAnotherScript) {
    ScriptCaller own(host);
    g_host = &host;
    g_ticks = 0;
    CodeWriter tick = stub();
    tick.pushad();
    tick.load(Reg::esi, script_global());
    tick.mov_imm(Reg::eax, own.record());
    tick.store(script_global(), Reg::eax);
    tick.mov(Reg::ebp, Reg::esp);
    tick.align_esp(0xF0);
    tick.call(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&frame_tick)));
    tick.mov(Reg::esp, Reg::ebp);
    tick.store(script_global(), Reg::esi);
    tick.popad();
    tick.jmp(sites().target_address(1));
    divert(1, tick);

    host.run_frames(4);
    EXPECT_EQ(g_ticks, 4);
    EXPECT_EQ(host.frame_ticks(), 4);
    EXPECT_FALSE(host.hooks().corrupted()) << host.hooks().first_problem;
    ASSERT_EQ(host.native_log().size(), 4u);
    EXPECT_TRUE(host.native_log().back().plugin_script);
    EXPECT_TRUE(host.native_log().back().in_site_one);
    EXPECT_EQ(host.native_log().back().frame, 4u);

    // Natives called outside site 1, or for the game's own script, are no ticks.
    ScriptCaller(host).call(0x34F9164D, {});
    ScriptCaller(host, true).call(0x34F9164D, {});
    EXPECT_FALSE(host.native_log()[4].plugin_script);
    EXPECT_TRUE(host.native_log()[5].plugin_script);
    EXPECT_FALSE(host.native_log()[5].in_site_one);
    EXPECT_EQ(host.frame_ticks(), 4);
}

INSTANTIATE_TEST_SUITE_P(Builds, SitesTest, ::testing::Values(Build::v1070, Build::v1080),
                         [](const auto& info) {
                             return info.param == Build::v1070 ? "b1070" : "b1080";
                         });

// The game keeps only 4-byte stack alignment; a skewed host shows a stub the
// stack it would really get, everything else unchanged.
TEST(SkewedSitesTest, StubsMeetTheStackMisalignedByTheSkew) {
    for (std::uint8_t skew : {0, 4, 8, 12}) {
        BootOptions options = boot_options(Build::v1070);
        options.stack_skew = skew;
        Host host(options);
        CallSites& sites = host.image().sites();
        std::uint32_t seen = host.image().scratch_code() + 0x800;
        for (int event : {1, 5}) {
            CodeWriter stub(host.image().scratch_code() + 0x80 * static_cast<std::uint32_t>(event));
            stub.store(seen + 4 * static_cast<std::uint32_t>(event), Reg::esp);
            stub.jmp(sites.target_address(event));
            CodeWriter site(sites.site_address(event));
            site.call(stub.start());
        }
        host.run_frame();
        EXPECT_FALSE(host.hooks().corrupted()) << host.hooks().first_problem;
        for (int event : {1, 5}) {
            std::uint32_t esp = read_u32(seen + 4 * static_cast<std::uint32_t>(event));
            EXPECT_EQ((esp + 4 + skew) % 16, 0u) << "skew " << int(skew) << ", site " << event;
        }
    }
}

}  // namespace
}  // namespace hostsim
