#include "host/native_call.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "code_buffer.h"
#include "host/host_addresses.h"
#include "host/host_version.h"
#include "host/natives.h"
#include "test_host.h"

namespace corvalen::host {
namespace {

using test::CodeWriter;
using test::Reg;

constexpr NativeHash kUnknownHash = 0x0BADBEEF;

// What the handler saw, and what it does to the context.
struct HandlerLog {
    int calls = 0;
    NativeHash hash = 0;
    std::uint32_t context = 0;
    NativeContext seen{};
    std::uint32_t result = 0;
    void (*effect)(NativeContext&) = nullptr;
};
HandlerLog g_log;
std::uint32_t g_last_hash = 0;

void recording_handler(NativeContext* context) {
    ++g_log.calls;
    g_log.hash = g_last_hash;
    g_log.context = test::address_of(context);
    g_log.seen = *context;
    context->slots[0] = g_log.result;
    if (g_log.effect != nullptr)
        g_log.effect(*context);
}

// The host's lookup routine, written where the plug-in resolves it: it notes
// the hash and answers with the recording handler for every hash but one.
class NativeCallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_log = HandlerLog{};
        test::boot_test_host();
        std::uint32_t lookup = resolve(kNativeLookup);
        ASSERT_NE(lookup, 0u) << "the test host must be a known build";
        CodeWriter routine(lookup);
        routine.store(test::address_of(&g_last_hash), Reg::esi);
        routine.bytes({0x81, 0xFE});  // cmp esi, imm32
        routine.u32(kUnknownHash);
        routine.bytes({0x74, 0x06});  // je +6
        routine.mov_imm(Reg::eax, test::address_of(reinterpret_cast<void*>(&recording_handler)));
        routine.ret();
        routine.bytes({0x31, 0xC0});  // xor eax, eax
        routine.ret();
    }
};

// The longest call of the plug-in: integers, floats and the literals the
// wrapper supplies itself, each in its own slot; the result overwrites slot 0.
TEST_F(NativeCallTest, ArgumentsFillTheFirstSlotsAndTheResultComesFromSlotZero) {
    g_log.result = 0xFFFFFFFE;
    EXPECT_EQ(natives::order_drive_to(1, 2, 3, 4, 5, 6, 7, 8, 9.5f), -2);
    ASSERT_EQ(g_log.calls, 1);
    EXPECT_EQ(g_log.hash, 0x69715285u);
    EXPECT_EQ(g_log.seen.result_pointer, g_log.context + 0x60);
    EXPECT_EQ(g_log.seen.argument_pointer, g_log.context + 0x60);
    ASSERT_EQ(g_log.seen.argument_count, 11u);
    const std::uint32_t slots[11] = {1, 2, slot(3.0f), slot(4.0f), slot(5.0f), slot(6.0f),
                                     7, 0, 8,          slot(9.5f), 0xFFFFFFFF};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(g_log.seen.slots[i], slots[i]) << "slot " << i;
}

TEST_F(NativeCallTest, EachArgumentAndResultKindFitsOneSlot) {
    native_u32_bool(0x05966824, 0xFFFFFFFF, true);
    EXPECT_EQ(g_log.seen.slots[1], 1u);  // upper three bytes zero
    native_u32_float(0x1E9635A9, 5, -2.5f);
    EXPECT_EQ(g_log.seen.slots[1], 0xC0200000u);

    g_log.result = 0x100;  // only the low byte is the boolean
    EXPECT_FALSE(native_bool(0x62EA75E0, 1));
    g_log.result = 0x40490FDB;
    EXPECT_FLOAT_EQ(natives::float_stat(108), 3.14159274f);
}

TEST_F(NativeCallTest, UnknownHashCallsNothingAndGivesZero) {
    EXPECT_EQ(call_native(kUnknownHash, {5, 6}), 0u);
    EXPECT_EQ(g_log.calls, 0);
    EXPECT_EQ(find_native_handler(0x2EE310C5),
              test::address_of(reinterpret_cast<void*>(&recording_handler)));
}

// Entry 1's destination overlaps entry 0's, so the order shows; the word
// after three floats stays. Any pattern arrives unchanged, a signalling NaN's
// included (a copy through float registers would set its quiet bit).
TEST_F(NativeCallTest, FixupsAreCopiedFromTheHighestEntryDownThreeWordsEach) {
    static std::uint32_t overlap[5];
    std::fill(std::begin(overlap), std::end(overlap), 0xEEEEEEEEu);
    g_log.effect = [](NativeContext& context) {
        const std::uint32_t words[2][4] = {{0x7FA00001u, 0xFF9FFE24u, 0x3F800000u, 0x7F7F7F7Fu},
                                           {0x41A00000u, 0x41A80000u, 0x41B00000u, 0x7F7F7F7Fu}};
        context.fixup_count = 2;
        context.fixup_destination[0] = test::address_of(&overlap[1]);
        context.fixup_destination[1] = test::address_of(&overlap[0]);
        std::memcpy(context.fixup_value, words, sizeof words);
    };
    call_native(0x2D432EAB, {1});
    const std::uint32_t expected[5] = {0x41A00000u, 0x7FA00001u, 0xFF9FFE24u, 0x3F800000u,
                                       0xEEEEEEEEu};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(overlap[i], expected[i]) << "word " << i;
}

// A count beyond the record's four entries copies those four and touches
// nothing else. Every word a runaway copy would take for a further entry (the
// vectors, the slots, and beyond the record the canary itself) leads into the
// canary, so a stray write shows there; under the sanitizer a read past the
// record shows too.
TEST(FixupCopyTest, ACountBeyondTheRecordCopiesOnlyItsFourEntries) {
    for (std::uint32_t count : {5u, 9u, 40u, 0xFFFFFFFFu}) {
        struct {
            NativeContext record;
            std::uint32_t canary[64];
        } guarded{};
        std::uint32_t targets[4][4];
        std::uint32_t words[16];
        std::fill(std::begin(words), std::end(words), test::address_of(&guarded.canary[32]));
        std::fill(std::begin(guarded.canary), std::end(guarded.canary), 0xC0DEC0DEu);
        for (auto& target : targets)
            std::fill(std::begin(target), std::end(target), 0xEEEEEEEEu);
        std::memcpy(guarded.record.fixup_value, words, sizeof words);
        std::copy(std::begin(words), std::end(words), guarded.record.slots);
        for (std::uint32_t i = 0; i < kNativeFixupCount; ++i)
            guarded.record.fixup_destination[i] = test::address_of(targets[i]);
        guarded.record.fixup_count = count;

        copy_back_fixups(guarded.record);

        EXPECT_EQ(guarded.record.fixup_count, 0u) << count;
        for (const auto& target : targets) {
            EXPECT_EQ(target[2], words[0]) << count;
            EXPECT_EQ(target[3], 0xEEEEEEEEu) << count << ": three words only";
        }
        for (std::uint32_t word : guarded.canary)
            ASSERT_EQ(word, 0xC0DEC0DEu) << count;
    }
}

}  // namespace
}  // namespace corvalen::host
