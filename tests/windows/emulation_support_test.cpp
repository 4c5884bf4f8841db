// What the Windows tests and the demo rely on from the Windows they run on:
// exceptions reported to exception frames with their real codes, threads that
// come and go, and most of the address space. Natively this
// always holds; where 32-bit programs run through a user-mode emulator it
// holds only with the set-up's adjustments to Wine, which these cases check.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// Machine code in executable memory of its own.
class Code {
  public:
    explicit Code(const std::vector<std::uint8_t>& bytes) {
        memory_ = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        std::memcpy(memory_, bytes.data(), bytes.size());
    }
    ~Code() { VirtualFree(memory_, 0, MEM_RELEASE); }
    Code(const Code&) = delete;
    Code& operator=(const Code&) = delete;
    std::uint32_t address() const {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(memory_));
    }

  private:
    void* memory_;
};

// What the last exception frame or vectored handler saw.
struct Seen {
    DWORD code = 0;
    std::uint32_t address = 0;
    ULONG_PTR information[2] = {};
    DWORD parameters = 0;
};
Seen g_seen;
std::uint32_t g_resume_at = 0;

void remember(const EXCEPTION_RECORD* record) {
    g_seen.code = record->ExceptionCode;
    g_seen.address =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record->ExceptionAddress));
    g_seen.parameters = record->NumberParameters;
    for (DWORD i = 0; i < 2 && i < record->NumberParameters; ++i)
        g_seen.information[i] = record->ExceptionInformation[i];
}

extern "C" EXCEPTION_DISPOSITION frame_handler(EXCEPTION_RECORD* record, void*, CONTEXT* context,
                                               void*) {
    if ((record->ExceptionFlags & 6) != 0)
        return ExceptionContinueSearch;
    remember(record);
    context->Eip = g_resume_at;
    return ExceptionContinueExecution;
}

// Runs the routine inside an exception frame on fs:[0] (MinGW has no __try);
// the frame's handler records the exception and resumes at the routine's
// last instruction, a ret.
void run_in_exception_frame(const Code& routine, std::uint32_t resume_offset) {
    g_seen = {};
    g_resume_at = routine.address() + resume_offset;
    std::uint32_t target = routine.address();
    asm volatile(
        "pushl $_frame_handler\n\t"
        "pushl %%fs:0\n\t"
        "movl %%esp, %%fs:0\n\t"
        "call *%0\n\t"
        "popl %%fs:0\n\t"
        "addl $4, %%esp"
        :
        : "r"(target)
        : "eax", "ecx", "edx", "memory", "cc");
}

struct Fault {
    const char* name;
    std::vector<std::uint8_t> code;  // faulting instruction first, then ret
    std::uint32_t resume_offset;     // where the ret stands
    DWORD expected_code;
    std::uint32_t expected_offset;  // where the exception is reported
    ULONG_PTR access;               // access violations: 0 a read, 1 a write (of 0x3210)
};

TEST(EmulationSupport, ExceptionFramesSeeTheRealExceptionCodes) {
    const Fault faults[] = {
        {"read", {0xA1, 0x10, 0x32, 0, 0, 0xC3}, 5, EXCEPTION_ACCESS_VIOLATION, 0, 0},
        {"write", {0xA3, 0x10, 0x32, 0, 0, 0xC3}, 5, EXCEPTION_ACCESS_VIOLATION, 0, 1},
        {"divide by zero", {0x31, 0xC9, 0xF7, 0xF1, 0xC3}, 4, EXCEPTION_INT_DIVIDE_BY_ZERO, 2, 0},
        {"undefined instruction", {0x0F, 0x0B, 0xC3}, 2, EXCEPTION_ILLEGAL_INSTRUCTION, 0, 0},
        {"breakpoint", {0xCC, 0xC3}, 1, EXCEPTION_BREAKPOINT, 0, 0},
    };
    for (const Fault& fault : faults) {
        Code routine(fault.code);
        run_in_exception_frame(routine, fault.resume_offset);
        EXPECT_EQ(g_seen.code, fault.expected_code) << fault.name;
        EXPECT_EQ(g_seen.address, routine.address() + fault.expected_offset) << fault.name;
        if (fault.expected_code != static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION))
            continue;
        ASSERT_EQ(g_seen.parameters, 2u) << fault.name;
        EXPECT_EQ(g_seen.information[0], fault.access) << fault.name;
        EXPECT_EQ(g_seen.information[1], 0x3210u) << fault.name;
    }
}

thread_local int t_marker = 0;

// Every thread keeps its own thread block (fs) and thread storage (gs) while
// others start and end around it.
TEST(EmulationSupport, ThreadsThatEndLeaveTheOthersWorking) {
    t_marker = 1;
    const DWORD main_id = GetCurrentThreadId();
    std::atomic<int> ended{0};
    std::atomic<bool> keep_waiting{true};
    std::atomic<bool> waiter_intact{false};
    std::thread waiter([&] {
        t_marker = 2;
        const DWORD own_id = GetCurrentThreadId();
        while (keep_waiting)
            Sleep(1);
        waiter_intact = t_marker == 2 && GetCurrentThreadId() == own_id;
    });
    for (int round = 0; round < 8; ++round) {
        std::thread brief([&, round] {
            t_marker = 100 + round;
            SetLastError(round);
            Sleep(1);
            if (t_marker == 100 + round && GetLastError() == static_cast<DWORD>(round))
                ++ended;
        });
        brief.join();
        EXPECT_EQ(t_marker, 1) << "round " << round;
        EXPECT_EQ(GetCurrentThreadId(), main_id) << "round " << round;
    }
    keep_waiting = false;
    waiter.join();
    EXPECT_EQ(ended, 8);
    EXPECT_TRUE(waiter_intact);
    EXPECT_EQ(t_marker, 1);
}

// Most of the 2 GB a 32-bit process has is there to be reserved: 768 MB in
// all, 256 MB of it in one piece. Natively Wine leaves about 1.9 GB free with
// no piece much above 600 MB (libraries sit in between), so one larger piece
// is not something a Windows process here can count on. Under the emulator
// without the set-up's adjustment almost nothing is free, because the
// emulator holds the span below Wine's preloader.
TEST(EmulationSupport, MostOfTheAddressSpaceCanBeReserved) {
    constexpr SIZE_T kMegabyte = 1u << 20;
    constexpr SIZE_T kPiece = 256 * kMegabyte;
    constexpr SIZE_T kBlock = 16 * kMegabyte;
    constexpr SIZE_T kInAll = 768 * kMegabyte;

    void* piece = VirtualAlloc(nullptr, kPiece, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(piece, nullptr) << "error " << GetLastError();
    void* committed = VirtualAlloc(piece, 64 * kMegabyte, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_EQ(committed, piece);
    static_cast<volatile char*>(committed)[64 * kMegabyte - 1] = 1;

    std::vector<void*> blocks;
    SIZE_T reserved = kPiece;
    while (reserved < kInAll) {
        void* block = VirtualAlloc(nullptr, kBlock, MEM_RESERVE, PAGE_NOACCESS);
        if (block == nullptr)
            break;
        blocks.push_back(block);
        reserved += kBlock;
    }
    EXPECT_GE(reserved, kInAll) << "reserved only " << reserved / kMegabyte << " MB";
    for (void* block : blocks)
        EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
    EXPECT_TRUE(VirtualFree(piece, 0, MEM_RELEASE));
}

}  // namespace
