#include "host/native_call.h"

#include <gtest/gtest.h>

#include <cstring>

#include "code_buffer.h"
#include "fresh_process.h"
#include "host/host_addresses.h"
#include "host/host_version.h"
#include "host/natives.h"
#include "hostsim/host.h"
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
std::uint32_t g_last_hash_word = 0;

void recording_handler(NativeContext* context) {
    ++g_log.calls;
    g_log.hash = CodeWriter::get(g_last_hash_word);
    g_log.context = test::address_of(context);
    g_log.seen = *context;
    context->slots[0] = g_log.result;
    if (g_log.effect != nullptr) {
        g_log.effect(*context);
    }
}

// The host's lookup routine, written where the plug-in resolves it: it notes
// the hash and answers with the recording handler for every hash but one.
class NativeCallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_log = HandlerLog{};
        g_last_hash_word = scratch.word();
        test::boot_test_host();
        std::uint32_t lookup = resolve(kNativeLookup);
        ASSERT_NE(lookup, 0u) << "the test host must be a known build";
        CodeWriter routine(lookup);
        routine.store(g_last_hash_word, Reg::esi);
        routine.bytes({0x81, 0xFE});  // cmp esi, imm32
        routine.u32(kUnknownHash);
        routine.bytes({0x74, 0x06});  // je +6
        routine.mov_imm(Reg::eax, test::address_of(reinterpret_cast<void*>(&recording_handler)));
        routine.ret();
        routine.bytes({0x31, 0xC0});  // xor eax, eax
        routine.ret();
    }

    test::CodeBuffer scratch;
};

TEST_F(NativeCallTest, ArgumentsFillTheFirstSlotsAndTheResultOverwritesSlotZero) {
    g_log.result = 0xA5A5A5A5;
    std::uint32_t result = call_native(0x0A2C70AF, {11, 22, 33});
    ASSERT_EQ(g_log.calls, 1);
    EXPECT_EQ(g_log.hash, 0x0A2C70AFu);
    EXPECT_EQ(g_log.seen.argument_count, 3u);
    EXPECT_EQ(g_log.seen.slots[0], 11u);
    EXPECT_EQ(g_log.seen.slots[1], 22u);
    EXPECT_EQ(g_log.seen.slots[2], 33u);
    EXPECT_EQ(g_log.seen.fixup_count, 0u);
    EXPECT_EQ(g_log.seen.result_pointer, g_log.context + 0x60);
    EXPECT_EQ(g_log.seen.argument_pointer, g_log.context + 0x60);
    EXPECT_EQ(result, 0xA5A5A5A5u);
}

TEST_F(NativeCallTest, EncodesEachArgumentKindInOneSlot) {
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
}

TEST_F(NativeCallTest, DecodesResultsFromSlotZero) {
    g_log.result = 0x100;  // only the low byte is the boolean
    EXPECT_FALSE(native_bool(0x62EA75E0, 1));
    g_log.result = 0x201;
    EXPECT_TRUE(native_bool(0x62EA75E0, 1, 2));
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

    g_log.effect = [](NativeContext& context) {
        context.fixup_count = 1;
        context.fixup_destination[0] = test::address_of(single);
        context.fixup_value[0] = {1, 2, 3, 0x7F7F7F7F};
    };
    call_native(0x2D432EAB, {1});
    EXPECT_EQ(single[2], 3.0f);
    EXPECT_EQ(single[3], -1.0f);
}

TEST_F(NativeCallTest, FixupCountBeyondTheRecordCopiesOnlyItsFourEntries) {
    static float targets[4][3];
    g_log.effect = [](NativeContext& context) {
        context.fixup_count = 6;
        for (std::uint32_t i = 0; i < kNativeFixupCount; ++i) {
            context.fixup_destination[i] = test::address_of(targets[i]);
            float value = static_cast<float>(i + 1);
            context.fixup_value[i] = {value, value, value, 0};
        }
    };
    call_native(0x2D432EAB, {1});
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(targets[i][2], static_cast<float>(i + 1));
    }
}

TEST_F(NativeCallTest, WrappersSupplyTheirLiteralArguments) {
    char text[] = "hello";
    natives::show_text(0.25f, 0.5f, text);
    EXPECT_EQ(g_log.hash, 0x661B239Au);
    ASSERT_EQ(g_log.seen.argument_count, 4u);
    EXPECT_STREQ(reinterpret_cast<const char*>(g_log.seen.slots[2]), "STRING");
    EXPECT_EQ(g_log.seen.slots[3], test::address_of(text));

    natives::order_drive_to(1, 2, 3, 4, 5, 6, 7, 8, 9.5f);
    EXPECT_EQ(g_log.hash, 0x69715285u);
    ASSERT_EQ(g_log.seen.argument_count, 11u);
    EXPECT_EQ(g_log.seen.slots[6], 7u);
    EXPECT_EQ(g_log.seen.slots[7], 0u);
    EXPECT_EQ(g_log.seen.slots[8], 8u);
    EXPECT_EQ(as_float(g_log.seen.slots[9]), 9.5f);
    EXPECT_EQ(g_log.seen.slots[10], 0xFFFFFFFFu);

    g_log.result = 77;
    EXPECT_EQ(natives::nearest_vehicle_handle(1, 2, 3, 20), 77u);
    ASSERT_EQ(g_log.seen.argument_count, 6u);
    EXPECT_EQ(g_log.seen.slots[4], 0u);
    EXPECT_EQ(g_log.seen.slots[5], 70u);

    natives::set_up_group(9);
    ASSERT_EQ(g_log.seen.argument_count, 3u);
    EXPECT_EQ(g_log.seen.slots[0], 1u);
    EXPECT_EQ(g_log.seen.slots[1], 9u);
    EXPECT_EQ(g_log.seen.slots[2], 0u);

    natives::draw_ground_marker(1, 2, 3, 0, 0, 64, 64, 32);
    ASSERT_EQ(g_log.seen.argument_count, 9u);
    EXPECT_EQ(g_log.seen.slots[7], 0u);
    EXPECT_EQ(g_log.seen.slots[8], 32u);

    natives::start_developer_effect(5);
    EXPECT_EQ(g_log.seen.slots[3], 43200000u);
    natives::set_text_colour(1, 2, 3);
    EXPECT_EQ(g_log.seen.slots[3], 255u);
}

// The same calls against the stand-in host's own lookup and handlers.
TEST(NativeCallOnStandIn, HandlersOfTheHostGetTheArgumentsAsEncoded) {
    test::run_in_fresh_process([] {
        hostsim::Host& host = test::test_host();
        natives::set_text_scale(0.5f, 0.75f);
        natives::set_text_colour(12, 34, 56);
        natives::nearest_vehicle_handle(1.0f, 2.0f, 3.0f, 20.0f);
        const auto& log = host.native_log();
        test::require(log.size() == 3, "three native calls reached the host");
        test::require(log[0].hash == 0x02C069E5 && log[0].argument_count == 2, "text scale");
        test::require(as_float(log[0].slots[0]) == 0.5f && as_float(log[0].slots[1]) == 0.75f,
                      "float slots");
        test::require(log[1].hash == 0x19C967B5 && log[1].argument_count == 4 &&
                          log[1].slots[0] == 12 && log[1].slots[3] == 255,
                      "text colour with its literal alpha");
        test::require(log[2].hash == 0x2CB303F8 && log[2].argument_count == 6 &&
                          as_float(log[2].slots[3]) == 20.0f && log[2].slots[4] == 0 &&
                          log[2].slots[5] == 70,
                      "nearest vehicle with its literals");
        test::require(call_native(0x0BADF00D, {1, 2}) == 0, "unknown hash gives 0");
        test::require(host.unknown_lookups().count(0x0BADF00D) == 1, "looked up, not called");
        test::require(host.native_log().size() == 3, "nothing else called");
    });
}

}  // namespace
}  // namespace corvalen::host
