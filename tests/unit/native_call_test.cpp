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

TEST_F(NativeCallTest, ArgumentsFillTheFirstSlotsAndTheResultComesFromSlotZero) {
    g_log.result = 0xA5A5A5A5;
    std::uint32_t result = call_native(0x0A2C70AF, {11, 22, 33});
    ASSERT_EQ(g_log.calls, 1);
    EXPECT_EQ(g_log.hash, 0x0A2C70AFu);
    EXPECT_EQ(g_log.seen.argument_count, 3u);
    EXPECT_EQ(g_log.seen.slots[0], 11u);
    EXPECT_EQ(g_log.seen.slots[2], 33u);
    EXPECT_EQ(g_log.seen.fixup_count, 0u);
    EXPECT_EQ(g_log.seen.result_pointer, g_log.context + 0x60);
    EXPECT_EQ(g_log.seen.argument_pointer, g_log.context + 0x60);
    EXPECT_EQ(result, 0xA5A5A5A5u);
}

TEST_F(NativeCallTest, EachArgumentAndResultKindFitsOneSlot) {
    native_u32_bool(0x05966824, 0xFFFFFFFF, true);
    EXPECT_EQ(g_log.seen.slots[1], 1u);  // upper three bytes zero
    native_u32_bool(0x05966824, 0xFFFFFFFF, false);
    EXPECT_EQ(g_log.seen.slots[1], 0u);
    native_u32_float(0x1E9635A9, 5, -2.5f);
    EXPECT_EQ(g_log.seen.slots[1], 0xC0200000u);
    std::int32_t out = 0;
    call_native(0x2E5B068F, {slot(&out), slot(std::int32_t{-1})});
    EXPECT_EQ(g_log.seen.slots[0], test::address_of(&out));
    EXPECT_EQ(g_log.seen.slots[1], 0xFFFFFFFFu);

    g_log.result = 0x100;  // only the low byte is the boolean
    EXPECT_FALSE(native_bool(0x62EA75E0, 1));
    g_log.result = 0x40490FDB;
    EXPECT_FLOAT_EQ(natives::float_stat(108), 3.14159274f);
    g_log.result = 0xFFFFFFFE;
    EXPECT_EQ(natives::move_player_to(0, 1, 2, 3), -2);
}

TEST_F(NativeCallTest, UnknownHashCallsNothingAndGivesZero) {
    EXPECT_EQ(call_native(kUnknownHash, {5, 6}), 0u);
    EXPECT_FALSE(native_bool(kUnknownHash, 1));
    EXPECT_EQ(native_u32(kUnknownHash), 0u);
    EXPECT_EQ(g_log.calls, 0);
    EXPECT_EQ(find_native_handler(kUnknownHash), 0u);
    EXPECT_EQ(find_native_handler(0x2EE310C5),
              test::address_of(reinterpret_cast<void*>(&recording_handler)));
}

TEST_F(NativeCallTest, FixupsAreCopiedFromTheHighestEntryDownThreeFloatsEach) {
    // Vector 1's destination overlaps vector 0's, so the order shows in
    // the result; the word after three floats must stay untouched.
    static float overlap[5];
    static float single[4];
    std::fill(std::begin(overlap), std::end(overlap), -1.0f);
    std::fill(std::begin(single), std::end(single), -1.0f);
    g_log.effect = [](NativeContext& context) {
        context.fixup_count = 2;
        context.fixup_destination[0] = test::address_of(&overlap[1]);
        context.fixup_destination[1] = test::address_of(&overlap[0]);
        context.fixup_value[0] = {10, 11, 12, 0x7F7F7F7F};
        context.fixup_value[1] = {20, 21, 22, 0x7F7F7F7F};
    };
    call_native(0x2D432EAB, {1});
    EXPECT_EQ(overlap[0], 20.0f);
    EXPECT_EQ(overlap[1], 10.0f);
    EXPECT_EQ(overlap[2], 11.0f);
    EXPECT_EQ(overlap[3], 12.0f);
    EXPECT_EQ(overlap[4], -1.0f);

    // Any 32-bit pattern arrives unchanged, a signalling NaN's included
    // (a copy through float registers would set its quiet bit).
    g_log.effect = [](NativeContext& context) {
        const std::uint32_t words[4] = {0x3F800000u, 0x7FA00001u, 0xFF9FFE24u, 0x7F7F7F7Fu};
        context.fixup_count = 1;
        context.fixup_destination[0] = test::address_of(single);
        std::memcpy(&context.fixup_value[0], words, sizeof words);
    };
    call_native(0x2D432EAB, {1});
    std::uint32_t bits[4];
    std::memcpy(bits, single, sizeof bits);
    EXPECT_EQ(bits[0], 0x3F800000u);
    EXPECT_EQ(bits[1], 0x7FA00001u);
    EXPECT_EQ(bits[2], 0xFF9FFE24u);
    EXPECT_EQ(single[3], -1.0f);
}

// A count beyond the record's four entries copies those four and touches
// nothing else. The words a runaway copy would take for further entries (the
// vectors, the argument slots, and beyond the record the canary itself) all
// lead into the canary, so any stray write shows there; under the sanitizer
// a read past the record shows too.
TEST(FixupCopyTest, ACountBeyondTheRecordTouchesNothingPastItsFourEntries) {
    for (std::uint32_t count : {5u, 8u, 9u, 40u, 0xFFFFFFFFu}) {
        struct {
            NativeContext record;
            std::uint32_t canary[64];
        } guarded{};
        std::uint32_t targets[4][4];
        const std::uint32_t into_canary = test::address_of(&guarded.canary[32]);
        const std::uint32_t vector[4] = {into_canary, into_canary + 4, into_canary + 8,
                                         into_canary};
        for (std::uint32_t k = 0; k < 64; ++k)
            guarded.canary[k] = 0xC0DE0000u + k;
        for (std::uint32_t i = 0; i < kNativeFixupCount; ++i) {
            guarded.record.fixup_destination[i] = test::address_of(targets[i]);
            std::fill(std::begin(targets[i]), std::end(targets[i]), 0xEEEEEEEEu);
            std::memcpy(&guarded.record.fixup_value[i], vector, sizeof vector);
        }
        std::fill(std::begin(guarded.record.slots), std::end(guarded.record.slots), into_canary);
        guarded.record.fixup_count = count;

        copy_back_fixups(guarded.record);

        EXPECT_EQ(guarded.record.fixup_count, 0u) << count;
        for (std::uint32_t i = 0; i < kNativeFixupCount; ++i) {
            EXPECT_EQ(targets[i][0], into_canary) << count;
            EXPECT_EQ(targets[i][2], into_canary + 8) << count;
            EXPECT_EQ(targets[i][3], 0xEEEEEEEEu) << count << ": three floats only";
        }
        for (std::uint32_t k = 0; k < 64; ++k)
            ASSERT_EQ(guarded.canary[k], 0xC0DE0000u + k) << count << ": canary word " << k;
    }
}

// A long call mixing integers, floats and literal arguments.
TEST_F(NativeCallTest, WrappersPutEachArgumentInItsSlot) {
    natives::order_drive_to(1, 2, 3, 4, 5, 6, 7, 8, 9.5f);
    EXPECT_EQ(g_log.hash, 0x69715285u);
    ASSERT_EQ(g_log.seen.argument_count, 11u);
    EXPECT_EQ(g_log.seen.slots[6], 7u);
    EXPECT_EQ(g_log.seen.slots[7], 0u);
    EXPECT_EQ(g_log.seen.slots[8], 8u);
    EXPECT_EQ(as_float(g_log.seen.slots[9]), 9.5f);
    EXPECT_EQ(g_log.seen.slots[10], 0xFFFFFFFFu);
}

}  // namespace
}  // namespace corvalen::host
