// The native lookup's exception frame, with routines that fault in the ways
// host code can.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "host/platform.h"

namespace corvalen::platform {
namespace {

std::uint32_t exception_list_head() {
    std::uint32_t head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

// Machine code in executable memory of its own.
class Routine {
  public:
    explicit Routine(std::initializer_list<std::vector<std::uint8_t>> parts) {
        memory_ = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        auto* out = static_cast<std::uint8_t*>(memory_);
        for (const auto& part : parts) {
            std::memcpy(out, part.data(), part.size());
            out += part.size();
        }
    }
    ~Routine() { VirtualFree(memory_, 0, MEM_RELEASE); }
    std::uint32_t address() const {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(memory_));
    }

  private:
    void* memory_;
};

std::vector<std::uint8_t> word(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// Hash plus one in EAX; ECX, EDX and ESI clobbered.
const std::vector<std::uint8_t> kEcho = {0x8D, 0x46, 0x01,           // lea eax, [esi+1]
                                         0xB9, 1,    0,    0, 0xDE,  // mov ecx, imm
                                         0xBA, 2,    0,    0, 0xDE,  // mov edx, imm
                                         0xBE, 3,    0,    0, 0xDE,  // mov esi, imm
                                         0xC3};
const std::vector<std::uint8_t> kPushThree = {0x6A, 1, 0x6A, 2, 0x6A, 3};
const std::vector<std::uint8_t> kClobberFrame = {0xBD, 0xEF, 0xBE, 0xAD, 0xDE};  // mov ebp, imm
const std::vector<std::uint8_t> kReadZero = {0xA1, 0, 0, 0, 0, 0xC3};
const std::vector<std::uint8_t> kUndefined = {0x0F, 0x0B, 0xC3};
const std::vector<std::uint8_t> kDivideByZero = {0x31, 0xC9, 0xF7, 0xF1, 0xC3};

TEST(GuardedLookupWindows, AnExceptionInsideGivesZeroAndExecutionGoesOn) {
    Routine echo({kEcho});
    EXPECT_EQ(guarded_native_lookup(echo.address(), 0x2EE310C5), 0x2EE310C6u);
    for (const auto* fault : {&kReadZero, &kUndefined, &kDivideByZero}) {
        Routine routine({kPushThree, kClobberFrame, *fault});
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
    if ((record->ExceptionFlags & 6) != 0) {
        ++g_inner_unwind_calls;
    } else {
        ++g_inner_exception_calls;
    }
    return ExceptionContinueSearch;
}

TEST(GuardedLookupWindows, TheRoutinesOwnFramesAreUnwound) {
    std::uint32_t handler =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&inner_handler));
    std::vector<std::uint8_t> push_handler = {0x68};
    auto handler_bytes = word(handler);
    push_handler.insert(push_handler.end(), handler_bytes.begin(), handler_bytes.end());
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
