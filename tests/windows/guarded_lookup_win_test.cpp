// The native lookup's exception frame, with routines that fault in the ways
// host code can.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "host/platform.h"

namespace corvalen::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t exception_list_head() {
    std::uint32_t head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

// Machine code in executable memory of its own.
class Routine {
  public:
    explicit Routine(std::initializer_list<Bytes> parts) {
        memory_ = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        auto* out = static_cast<std::uint8_t*>(memory_);
        for (const Bytes& part : parts)
            out = std::copy(part.begin(), part.end(), out);
    }
    ~Routine() { VirtualFree(memory_, 0, MEM_RELEASE); }
    std::uint32_t address() const {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(memory_));
    }

  private:
    void* memory_;
};

// Hash plus one in EAX; ECX, EDX and ESI clobbered.
const Bytes kEcho = {0x8D, 0x46, 0x01,           // lea eax, [esi+1]
                     0xB9, 1,    0,    0, 0xDE,  // mov ecx, imm
                     0xBA, 2,    0,    0, 0xDE,  // mov edx, imm
                     0xBE, 3,    0,    0, 0xDE,  // mov esi, imm
                     0xC3};
// Three words on the stack and the frame pointer gone before the fault.
const Bytes kPushThreeAndClobberFrame = {0x6A, 1, 0x6A, 2, 0x6A, 3, 0xBD, 0xEF, 0xBE, 0xAD, 0xDE};
const Bytes kReadZero = {0xA1, 0, 0, 0, 0, 0xC3};
const Bytes kUndefined = {0x0F, 0x0B, 0xC3};
const Bytes kDivideByZero = {0x31, 0xC9, 0xF7, 0xF1, 0xC3};

TEST(GuardedLookupWindows, AnExceptionInsideGivesZeroAndExecutionGoesOn) {
    Routine echo({kEcho});
    EXPECT_EQ(guarded_native_lookup(echo.address(), 0x2EE310C5), 0x2EE310C6u);
    for (const Bytes* fault : {&kReadZero, &kUndefined, &kDivideByZero}) {
        Routine routine({kPushThreeAndClobberFrame, *fault});
        std::uint32_t head = exception_list_head();
        volatile std::uint32_t local = 0x5EED;
        EXPECT_EQ(guarded_native_lookup(routine.address(), 5), 0u);
        EXPECT_EQ(local, 0x5EEDu);
        EXPECT_EQ(exception_list_head(), head);
        EXPECT_EQ(guarded_native_lookup(routine.address(), 5), 0u);
        EXPECT_EQ(guarded_native_lookup(echo.address(), 5), 6u);
    }
}

// The host routine's own exception frames are unwound before we resume, the
// way an __except block would: their handlers see the unwind.
int g_inner_exception_calls = 0;
int g_inner_unwind_calls = 0;

extern "C" EXCEPTION_DISPOSITION inner_handler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
    ++((record->ExceptionFlags & 6) != 0 ? g_inner_unwind_calls : g_inner_exception_calls);
    return ExceptionContinueSearch;
}

TEST(GuardedLookupWindows, TheRoutinesOwnFramesAreUnwound) {
    auto handler = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&inner_handler));
    Bytes push_handler = {0x68, 0, 0, 0, 0};  // push imm32
    std::memcpy(&push_handler[1], &handler, sizeof handler);
    Routine routine({push_handler,
                     {0x64, 0xFF, 0x35, 0, 0, 0, 0},  // push dword fs:[0]
                     {0x64, 0x89, 0x25, 0, 0, 0, 0},  // mov fs:[0], esp
                     kReadZero});
    std::uint32_t head = exception_list_head();
    EXPECT_EQ(guarded_native_lookup(routine.address(), 1), 0u);
    EXPECT_EQ(exception_list_head(), head);
    EXPECT_EQ(g_inner_exception_calls, 1);
    EXPECT_EQ(g_inner_unwind_calls, 1);
}

}  // namespace
}  // namespace corvalen::platform
