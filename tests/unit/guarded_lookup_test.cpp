#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>

#include "code_buffer.h"
#include "host/platform.h"

namespace corvalen::test {
namespace {

using platform::guarded_native_lookup;

// Routines in the host's calling form: hash in ESI, handler in EAX.
class GuardedLookupTest : public ::testing::Test {
  protected:
    // Returns the hash plus one and clobbers everything a host routine may.
    std::uint32_t echoing_routine() {
        std::uint32_t start = code.here();
        code.push(Reg::esi);
        code.pop(Reg::eax);
        code.bytes({0x40});  // inc eax
        code.mov_imm(Reg::ecx, 0xDEAD0001);
        code.mov_imm(Reg::edx, 0xDEAD0002);
        code.mov_imm(Reg::esi, 0xDEAD0003);
        code.ret();
        return start;
    }

    // Leaves three words on the stack, clobbers ESI and EBP, then faults.
    std::uint32_t faulting_routine(void (CodeWriter::*fault)()) {
        std::uint32_t start = code.here();
        code.push_imm(1);
        code.push_imm(2);
        code.push_imm(3);
        code.mov_imm(Reg::esi, 0xBAD00001);
        code.mov_imm(Reg::ebp, 0xBAD00002);
        code.mov_imm(Reg::eax, 0xBAD00003);
        (code.*fault)();
        code.ret();
        return start;
    }

    CodeBuffer code;
};

TEST_F(GuardedLookupTest, PassesTheHashInEsiAndReturnsEax) {
    std::uint32_t routine = echoing_routine();
    EXPECT_EQ(guarded_native_lookup(routine, 0x2EE310C5), 0x2EE310C6u);
    EXPECT_EQ(guarded_native_lookup(routine, 0xFFFFFFFF), 0u);
}

TEST_F(GuardedLookupTest, CallersRegistersSurviveARoutineThatClobbersThem) {
    std::uint32_t routine = echoing_routine();
    // A caller that holds values in every callee-saved register across the
    // call, then records them.
    std::uint32_t saved_esp = code.word();
    std::uint32_t seen[4] = {code.word(), code.word(), code.word(), code.word()};
    std::uint32_t result = code.word();
    std::uint32_t caller = code.here();
    code.pushad();
    code.store(saved_esp, Reg::esp);
    code.align_esp();
    code.mov_imm(Reg::ebx, 0x11111111);
    code.mov_imm(Reg::esi, 0x22222222);
    code.mov_imm(Reg::edi, 0x33333333);
    code.mov_imm(Reg::ebp, 0x44444444);
    code.sub_esp(8);
    code.push_imm(41);
    code.push_imm(routine);
    code.call(address_of(reinterpret_cast<const void*>(&guarded_native_lookup)));
    code.store(result, Reg::eax);
    code.store(seen[0], Reg::ebx);
    code.store(seen[1], Reg::esi);
    code.store(seen[2], Reg::edi);
    code.store(seen[3], Reg::ebp);
    code.load(Reg::esp, saved_esp);
    code.popad();
    code.ret();

    code_at<void (*)()>(caller)();
    EXPECT_EQ(CodeWriter::get(result), 42u);
    EXPECT_EQ(CodeWriter::get(seen[0]), 0x11111111u);
    EXPECT_EQ(CodeWriter::get(seen[1]), 0x22222222u);
    EXPECT_EQ(CodeWriter::get(seen[2]), 0x33333333u);
    EXPECT_EQ(CodeWriter::get(seen[3]), 0x44444444u);
}

TEST_F(GuardedLookupTest, AFaultInsideTheRoutineGivesZeroAndExecutionGoesOn) {
    std::uint32_t echo = echoing_routine();
    for (auto fault : {&CodeWriter::read_address_zero, &CodeWriter::undefined_instruction,
                       &CodeWriter::divide_by_zero}) {
        std::uint32_t routine = faulting_routine(fault);
        volatile std::uint32_t before = 0x5EED;
        EXPECT_EQ(guarded_native_lookup(routine, 7), 0u);
        EXPECT_EQ(before, 0x5EEDu);
        // The guard holds for the next call, and a clean call is unaffected.
        EXPECT_EQ(guarded_native_lookup(routine, 7), 0u);
        EXPECT_EQ(guarded_native_lookup(echo, 7), 8u);
    }
}

// A fault outside a guarded lookup still reaches whoever handled it before.
TEST_F(GuardedLookupTest, FaultsOutsideTheGuardGoToThePreviousHandler) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            struct sigaction previous {};
            previous.sa_flags = SA_SIGINFO;
            previous.sa_sigaction = [](int, siginfo_t*, void*) { std::_Exit(42); };
            sigemptyset(&previous.sa_mask);
            sigaction(SIGSEGV, &previous, nullptr);

            std::uint32_t routine = faulting_routine(&CodeWriter::read_address_zero);
            if (guarded_native_lookup(routine, 1) != 0)
                std::_Exit(1);
            code_at<void (*)()>(routine)();
            std::_Exit(2);
        },
        ::testing::ExitedWithCode(42), "");
}

TEST_F(GuardedLookupTest, UnguardedFaultsWithoutPreviousHandlerStillKill) {
    std::uint32_t routine = faulting_routine(&CodeWriter::read_address_zero);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            guarded_native_lookup(routine, 1);
            code_at<void (*)()>(routine)();
        },
        "");
}

}  // namespace
}  // namespace corvalen::test
