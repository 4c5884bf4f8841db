#include "host/hook_stubs.h"

#include <gtest/gtest.h>

#include "code_buffer.h"
#include "host/call_hook.h"
#include "host/host_events.h"

namespace corvalen::host {
namespace {

using test::CodeBuffer;
using test::CodeWriter;
using test::Reg;

constexpr Reg kRegisters[] = {Reg::eax, Reg::ecx, Reg::edx, Reg::ebx, Reg::ebp, Reg::esi, Reg::edi};
constexpr std::uint32_t kMarker = 0x51000000;  // register r holds kMarker + r

std::uint32_t marker(Reg reg) {
    return kMarker + static_cast<std::uint32_t>(reg);
}

// Event lists and stub slots live as long as the process, so whatever the
// tests hang on them lives as long too.
CodeBuffer& host_code() {
    static CodeBuffer code(0x40000);
    return code;
}

// A "host function" that records every register, its return address and two
// stack words, counts its calls and returns a result in EAX:EDX.
struct HostFunction {
    std::uint32_t entry = 0;
    std::uint32_t registers[8] = {};  // by Reg
    std::uint32_t return_address = 0;
    std::uint32_t stack_words[2] = {};
    std::uint32_t calls = 0;

    std::uint32_t get(Reg reg) const { return CodeWriter::get(registers[static_cast<int>(reg)]); }

    static HostFunction make(std::uint32_t eax_result, std::uint32_t edx_result) {
        CodeBuffer& code = host_code();
        HostFunction f;
        for (auto& word : f.registers)
            word = code.word();
        f.return_address = code.word();
        f.stack_words[0] = code.word();
        f.stack_words[1] = code.word();
        f.calls = code.word();
        f.entry = code.here();
        for (Reg reg : kRegisters)
            code.store(f.registers[static_cast<int>(reg)], reg);
        code.store(f.registers[static_cast<int>(Reg::esp)], Reg::esp);
        code.load_from_stack(Reg::eax, 0);
        code.store(f.return_address, Reg::eax);
        code.load_from_stack(Reg::eax, 4);
        code.store(f.stack_words[0], Reg::eax);
        code.load_from_stack(Reg::eax, 8);
        code.store(f.stack_words[1], Reg::eax);
        code.increment(f.calls);
        code.mov_imm(Reg::eax, eax_result);
        code.mov_imm(Reg::edx, edx_result);
        code.ret();
        return f;
    }
};

// The host's side of a diverted call: loads every register with its marker,
// pushes two stack words, makes the call (the site), then records what came
// back. `skew` bytes of stack shift the host's alignment.
struct HostCaller {
    std::uint32_t entry = 0;
    std::uint32_t site = 0;
    std::uint32_t esp_at_call = 0;
    std::uint32_t after[8] = {};  // registers after the call returned, by Reg

    std::uint32_t get(Reg reg) const { return CodeWriter::get(after[static_cast<int>(reg)]); }
    void run() const { test::code_at<void (*)()>(entry)(); }

    static HostCaller make(std::uint32_t target, std::int8_t skew) {
        CodeBuffer& code = host_code();
        HostCaller c;
        std::uint32_t saved_esp = code.word();
        c.esp_at_call = code.word();
        for (auto& word : c.after)
            word = code.word();
        c.entry = code.here();
        code.pushad();
        code.store(saved_esp, Reg::esp);
        code.align_esp();
        code.sub_esp(skew);
        code.push_imm(0xA0000001);
        code.push_imm(0xA0000002);
        for (Reg reg : kRegisters)
            code.mov_imm(reg, marker(reg));
        code.store(c.esp_at_call, Reg::esp);
        c.site = code.here();
        code.call(target);
        for (Reg reg : kRegisters)
            code.store(c.after[static_cast<int>(reg)], reg);
        code.store(c.after[static_cast<int>(Reg::esp)], Reg::esp);
        code.load(Reg::esp, saved_esp);
        code.popad();
        code.ret();
        return c;
    }
};

// Diverts the caller's call into the event's stub, the way attach does.
void divert(const HostCaller& caller, int event) {
    set_previous_target(event, install_call_hook(caller.site, event_stub(event)));
}

TEST(HookStubs, EachEventHasItsOwnStub) {
    for (int event = 1; event <= 8; ++event) {
        EXPECT_NE(event_stub(event), 0u);
        for (int other = 1; other < event; ++other)
            EXPECT_NE(event_stub(event), event_stub(other));
    }
    EXPECT_EQ(event_stub(0), 0u);
    EXPECT_EQ(event_stub(9), 0u);
}

int g_before_runs = 0;
std::uint32_t g_host_calls_seen = 0;
const HostFunction* g_watched = nullptr;

TEST(HookStubs, BeforeStubRunsTheListThenEntersTheHostFunctionAsTheHostCalledIt) {
    HostFunction host = HostFunction::make(0x600D, 0);
    g_watched = &host;
    add_event_callback(2, [] {
        ++g_before_runs;
        g_host_calls_seen = CodeWriter::get(g_watched->calls);
    });
    HostCaller caller = HostCaller::make(host.entry, 4);
    divert(caller, 2);
    EXPECT_EQ(previous_target(2), host.entry);

    caller.run();
    EXPECT_EQ(g_before_runs, 1);
    EXPECT_EQ(g_host_calls_seen, 0u) << "the list runs before the host function";
    EXPECT_EQ(CodeWriter::get(host.calls), 1u);
    for (Reg reg : kRegisters)
        EXPECT_EQ(host.get(reg), marker(reg)) << static_cast<int>(reg);
    EXPECT_EQ(host.get(Reg::esp), CodeWriter::get(caller.esp_at_call) - 4);
    EXPECT_EQ(CodeWriter::get(host.return_address), caller.site + 5);
    EXPECT_EQ(CodeWriter::get(host.stack_words[0]), 0xA0000002u);
    EXPECT_EQ(CodeWriter::get(host.stack_words[1]), 0xA0000001u);
    EXPECT_EQ(caller.get(Reg::eax), 0x600Du);
    EXPECT_EQ(caller.get(Reg::esp), CodeWriter::get(caller.esp_at_call));
}

TEST(HookStubs, CallbacksGetAnAlignedStackWhateverTheHostsAlignment) {
    // A callback in machine code notes ESP on entry.
    CodeBuffer& code = host_code();
    std::uint32_t esp_seen = code.word();
    std::uint32_t callback = code.here();
    code.store(esp_seen, Reg::esp);
    code.ret();
    add_event_callback(4, test::code_at<void (*)()>(callback));

    HostFunction host = HostFunction::make(0, 0);
    for (std::int8_t skew : {0, 4, 8, 12}) {
        HostCaller caller = HostCaller::make(host.entry, skew);
        divert(caller, 4);
        caller.run();
        EXPECT_EQ((CodeWriter::get(esp_seen) + 4) % 16, 0u) << "skew " << int{skew};
        EXPECT_EQ(host.get(Reg::esp), CodeWriter::get(caller.esp_at_call) - 4);
    }
}

std::uint32_t g_script_seen = 0;
std::uint32_t g_script_location = 0;

TEST(HookStubs, FrameEventRunsWithThePluginsScriptRecordActive) {
    CodeBuffer& code = host_code();
    g_script_location = code.word();
    CodeWriter::set(g_script_location, 0x0C0FFEE0);
    set_active_script_pointer_location(g_script_location);
    add_event_callback(kFrameEvent, [] { g_script_seen = CodeWriter::get(g_script_location); });

    HostFunction host = HostFunction::make(0, 0);
    HostCaller caller = HostCaller::make(host.entry, 0);
    divert(caller, kFrameEvent);
    caller.run();
    EXPECT_EQ(g_script_seen, script_record_address());
    EXPECT_EQ(CodeWriter::get(g_script_location), 0x0C0FFEE0u);
    EXPECT_EQ(CodeWriter::get(host.calls), 1u);

    const auto* record = reinterpret_cast<const std::uint8_t*>(script_record_address());
    for (std::uint32_t i = 0; i < kScriptRecordSize; ++i)
        ASSERT_EQ(record[i], 0) << i;
}

std::uint32_t g_object_seen = 0;
std::uint32_t g_host_calls_before_list = 0;
int g_after_runs = 0;

TEST(HookStubs, AfterStubRunsTheHostFunctionFirstAndHandsItsResultBack) {
    HostFunction host = HostFunction::make(0xCAFEBABE, 0xD00D);
    g_watched = &host;
    add_event_callback(5, [](std::uint32_t object) {
        ++g_after_runs;
        g_object_seen = object;
        g_host_calls_before_list = CodeWriter::get(g_watched->calls);
    });
    HostCaller caller = HostCaller::make(host.entry, 8);
    divert(caller, 5);

    caller.run();
    EXPECT_EQ(g_after_runs, 1);
    EXPECT_EQ(g_object_seen, marker(Reg::ecx));
    EXPECT_EQ(event_object(5), marker(Reg::ecx));
    EXPECT_EQ(g_host_calls_before_list, 1u) << "the host function runs before the list";
    // The host function got the host's registers, ECX in particular.
    for (Reg reg : kRegisters)
        EXPECT_EQ(host.get(reg), marker(reg)) << static_cast<int>(reg);
    // The host gets the function's result and its own other registers back.
    EXPECT_EQ(caller.get(Reg::eax), 0xCAFEBABEu);
    EXPECT_EQ(caller.get(Reg::edx), 0xD00Du);
    for (Reg reg : {Reg::ecx, Reg::ebx, Reg::ebp, Reg::esi, Reg::edi}) {
        EXPECT_EQ(caller.get(reg), marker(reg)) << static_cast<int>(reg);
    }
    EXPECT_EQ(caller.get(Reg::esp), CodeWriter::get(caller.esp_at_call));
}

int g_twice_runs = 0;

TEST(HookStubs, ACallbackRegisteredTwiceRunsTwicePerEvent) {
    auto callback = [] { ++g_twice_runs; };
    add_event_callback(3, +callback);
    add_event_callback(3, +callback);
    HostFunction host = HostFunction::make(0, 0);
    HostCaller caller = HostCaller::make(host.entry, 0);
    divert(caller, 3);
    caller.run();
    caller.run();
    EXPECT_EQ(g_twice_runs, 4);
    EXPECT_EQ(CodeWriter::get(host.calls), 2u);
}

TEST(HookStubs, EveryStubEndsInItsOwnPreviousTarget) {
    for (int event = 1; event <= 8; ++event) {
        HostFunction host = HostFunction::make(0x1000u + event, 0);
        HostCaller caller = HostCaller::make(host.entry, 0);
        divert(caller, event);
        caller.run();
        EXPECT_EQ(CodeWriter::get(host.calls), 1u) << event;
        EXPECT_EQ(caller.get(Reg::eax), 0x1000u + event) << event;
    }
}

}  // namespace
}  // namespace corvalen::host
