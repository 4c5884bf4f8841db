// The guarded native lookup: the host's calling form (hash in ESI, handler in
// EAX) and faults inside the routine turned into "not found".

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>

#include "code_buffer.h"
#include "host/platform.h"

namespace corvalen::test {
namespace {

using platform::guarded_native_lookup;

const std::initializer_list<std::uint8_t> kReadAddressZero = {0xA1, 0, 0, 0, 0};
const std::initializer_list<std::uint8_t> kUndefinedInstruction = {0x0F, 0x0B};
const std::initializer_list<std::uint8_t> kDivideByZero = {0x31, 0xC9, 0xF7, 0xF1};

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
    std::uint32_t faulting_routine(std::initializer_list<std::uint8_t> fault) {
        std::uint32_t start = code.here();
        code.push_imm(1);
        code.push_imm(2);
        code.push_imm(3);
        code.mov_imm(Reg::esi, 0xBAD00001);
        code.mov_imm(Reg::ebp, 0xBAD00002);
        code.bytes(fault);
        code.ret();
        return start;
    }

    CodeBuffer buffer;
    CodeWriter& code = buffer.code;
};

TEST_F(GuardedLookupTest, CallersRegistersSurviveARoutineThatClobbersThem) {
    std::uint32_t routine = echoing_routine();
    // A caller that holds values in every callee-saved register across the
    // call, then records them.
    std::uint32_t saved_esp = buffer.word();
    std::uint32_t result = buffer.word();
    const Reg kept[] = {Reg::ebx, Reg::esi, Reg::edi, Reg::ebp};
    std::uint32_t seen[4] = {buffer.word(), buffer.word(), buffer.word(), buffer.word()};
    std::uint32_t caller = code.here();
    code.pushad();
    code.store(saved_esp, Reg::esp);
    code.align_esp(0xF0);
    for (int i = 0; i < 4; ++i)
        code.mov_imm(kept[i], 0x11111111u * static_cast<std::uint32_t>(i + 1));
    code.sub_esp(8);
    code.push_imm(41);
    code.push_imm(routine);
    code.call(address_of(reinterpret_cast<const void*>(&guarded_native_lookup)));
    code.store(result, Reg::eax);
    for (int i = 0; i < 4; ++i)
        code.store(seen[i], kept[i]);
    code.load(Reg::esp, saved_esp);
    code.popad();
    code.ret();

    call_at(caller);
    EXPECT_EQ(read_u32(result), 42u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(read_u32(seen[i]), 0x11111111u * static_cast<std::uint32_t>(i + 1)) << i;
}

TEST_F(GuardedLookupTest, AFaultInsideTheRoutineGivesZeroAndExecutionGoesOn) {
    std::uint32_t echo = echoing_routine();
    EXPECT_EQ(guarded_native_lookup(echo, 0x2EE310C5), 0x2EE310C6u);
    for (auto fault : {kReadAddressZero, kUndefinedInstruction, kDivideByZero}) {
        std::uint32_t routine = faulting_routine(fault);
        volatile std::uint32_t before = 0x5EED;
        EXPECT_EQ(guarded_native_lookup(routine, 7), 0u);
        EXPECT_EQ(before, 0x5EEDu);
        // The guard holds for the next call, and a clean call is unaffected.
        EXPECT_EQ(guarded_native_lookup(routine, 7), 0u);
        EXPECT_EQ(guarded_native_lookup(echo, 7), 8u);
    }
}

// A fault outside a guarded lookup still reaches whoever handled it before,
// or kills the process as it would have.
TEST_F(GuardedLookupTest, FaultsOutsideTheGuardGoWhereTheyWentBefore) {
    std::uint32_t routine = faulting_routine(kReadAddressZero);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            guarded_native_lookup(routine, 1);
            call_at(routine);
        },
        "");
    EXPECT_EXIT(
        {
            struct sigaction previous {};
            previous.sa_flags = SA_SIGINFO;
            previous.sa_sigaction = [](int, siginfo_t*, void*) { std::_Exit(42); };
            sigemptyset(&previous.sa_mask);
            sigaction(SIGSEGV, &previous, nullptr);
            if (guarded_native_lookup(routine, 1) != 0)
                std::_Exit(1);
            call_at(routine);
            std::_Exit(2);
        },
        ::testing::ExitedWithCode(42), "");
}

}  // namespace
}  // namespace corvalen::test
