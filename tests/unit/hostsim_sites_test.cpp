// The stand-in's side of the calling forms: its lookup routine answers as the
// game's does, and its call-site routines catch a stub that disturbs what the
// game passes its functions. (That honest stubs pass shows in the hook stub
// and attach tests.)

#include <gtest/gtest.h>

#include <optional>

#include "hostsim/host.h"
#include "hostsim/x86_writer.h"

namespace hostsim {
namespace {

class SitesTest : public ::testing::TestWithParam<Build> {
  protected:
    SitesTest() { boot(); }
    // A game of its own, for one stub.
    void boot() {
        game.reset();
        game.emplace(boot_options(GetParam()));
        used_ = 0;
    }
    CallSites& sites() { return game->image().sites(); }
    // A fresh piece of scratch code.
    CodeWriter stub() { return CodeWriter(game->image().scratch_code() + 0x80 * used_++); }
    // Points the site's call at the stub, as the plug-in's attach does.
    void divert(int event, const CodeWriter& stub_code) {
        CodeWriter(sites().site_address(event)).call(stub_code.start());
    }

    std::optional<Host> game;
    std::uint32_t used_ = 0;
};

TEST_P(SitesTest, TheLookupTakesTheHashInEsiAnswersInEaxAndKeepsEveryOtherRegister) {
    const Reg kept[] = {Reg::ebx, Reg::ecx, Reg::edx, Reg::edi, Reg::ebp, Reg::esi};
    const std::uint32_t out = game->image().scratch_code() + 0x800;
    for (std::uint32_t hash : {0x62E319C6u, 0x12345678u}) {
        CodeWriter probe = stub();
        probe.pushad();
        for (std::uint32_t i = 0; i < 5; ++i)
            probe.mov_imm(kept[i], 0x11111111u * (i + 1));
        probe.mov_imm(Reg::esi, hash);
        probe.call(game->image().native_lookup_routine());
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
    EXPECT_EQ(game->unknown_lookups().at(0x12345678), 1);
}

template <Reg kClobbered>
void clobber_then_jump(CodeWriter& code, std::uint32_t target) {
    code.mov_imm(kClobbered, 0);
    code.jmp(target);
}

// Each stub disturbs one thing the game passes or expects back, in a game of
// its own.
TEST_P(SitesTest, StubsThatDisturbTheCallAreReported) {
    using Write = void (*)(CodeWriter&, std::uint32_t target);
    const struct {
        int event;
        Write write;
        std::uint32_t problems;
    } cases[] = {
        {3, clobber_then_jump<Reg::ebx>, kEntryEbx | kKeptEbx},
        {2, clobber_then_jump<Reg::esi>, kEntryEsi | kKeptEsi},
        {4, clobber_then_jump<Reg::edi>, kEntryEdi | kKeptEdi},
        {8, clobber_then_jump<Reg::ebp>, kEntryEbp | kKeptEbp},
        {6, clobber_then_jump<Reg::ecx>, kEntryEcx},
        {1, clobber_then_jump<Reg::edx>, kEntryEdx},
        // A before stub that calls instead of jumping.
        {7, [](CodeWriter& c, std::uint32_t t) { c.call(t), c.ret(); },
         kEntryReturnAddress | kEntryStackPointer | kEntryFirstArgument | kEntrySecondArgument},
        // An after stub that loses the result and takes a word too many.
        {5,
         [](CodeWriter& c, std::uint32_t t) {
             c.call(t), c.bytes({0x31, 0xC0, 0xC2, 4, 0});
         },
         kResultEax | kKeptStackPointer},
        {4, [](CodeWriter& c, std::uint32_t) { c.ret(); }, kSiteNotReached | kResultEax},
        {8, [](CodeWriter& c, std::uint32_t t) { c.call(t), c.jmp(t); }, kSiteReachedTwice},
    };
    for (const auto& c : cases) {
        boot();
        CodeWriter bad = stub();
        c.write(bad, sites().target_address(c.event));
        divert(c.event, bad);
        game->run_frame();
        EXPECT_EQ(game->hooks().problems[c.event - 1], c.problems) << "site " << c.event;
        EXPECT_TRUE(game->hooks().corrupted());
        EXPECT_EQ(game->frame_ticks(), 0) << "no plug-in, no tick";
        EXPECT_EQ(game->hooks().after_eax_ok(), c.event != 5);
    }
}

TEST_P(SitesTest, AStubThatLeavesItsScriptRecordActiveIsReported) {
    CodeWriter bad = stub();
    bad.mov_imm(Reg::eax, game->image().scratch_code() + 0x800);  // a record of the stub's own
    bad.store(game->image().base() + game->image().layout().active_script, Reg::eax);
    bad.jmp(sites().target_address(1));
    divert(1, bad);
    game->run_frame();
    EXPECT_FALSE(game->hooks().script_pointer_ok);
    EXPECT_EQ(game->hooks().problems[0], kEntryScriptPointer);
    // The game puts its own record back after reporting, so frames go on.
    EXPECT_EQ(game->image().active_script(), game->image().host_script_record());
}

INSTANTIATE_TEST_SUITE_P(Builds, SitesTest, ::testing::Values(Build::v1070, Build::v1080),
                         [](const auto& info) {
                             return info.param == Build::v1070 ? "b1070" : "b1080";
                         });

}  // namespace
}  // namespace hostsim
