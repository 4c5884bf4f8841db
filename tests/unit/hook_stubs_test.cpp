// The event stubs between a diverted call and the host function behind it.
// The stand-in's call sites check what the host function and the game's
// caller get: every register, the stack, the result and the script pointer.

#include "host/hook_stubs.h"

#include <gtest/gtest.h>

#include "code_buffer.h"
#include "host/call_hook.h"
#include "host/host_events.h"
#include "hostsim/host.h"
#include "test_host.h"

namespace corvalen::host {
namespace {

using test::CodeWriter;
using test::read_u32;
using test::Reg;

hostsim::CallSites& sites() {
    return test::test_host().image().sites();
}
std::uint32_t scratch(int event) {
    return test::test_host().image().scratch_code() + 0x100 * static_cast<std::uint32_t>(event);
}
// Counts the calls that reached the host function of the event.
std::uint32_t host_calls(int event) {
    return read_u32(scratch(event) + 0xF0);
}

// Diverts the site into its stub as attach does, with a call counter in
// front of the host function.
void divert(int event) {
    test::write_u32(scratch(event) + 0xF0, 0);
    CodeWriter front(scratch(event));
    front.increment(scratch(event) + 0xF0);
    front.jmp(sites().target_address(event));
    ASSERT_EQ(install_call_hook(sites().site_address(event), event_stub(event)),
              sites().target_address(event));
    set_previous_target(event, front.start());
    const hostsim::HostImage& image = test::test_host().image();
    set_active_script_pointer_location(image.base() + image.layout().active_script);
}

// A callback in machine code that clobbers what a C function may, and notes
// its stack pointer.
std::uint32_t g_callback_esp = 0;
std::uint32_t clobbering_callback() {
    CodeWriter code(scratch(9));
    code.store(test::address_of(&g_callback_esp), Reg::esp);
    code.mov_imm(Reg::eax, 0xBAD0);
    code.mov_imm(Reg::ecx, 0xBAD1);
    code.mov_imm(Reg::edx, 0xBAD2);
    code.ret();
    return code.start();
}
template <typename Callback>
Callback as(std::uint32_t address) {
    return reinterpret_cast<Callback>(static_cast<std::uintptr_t>(address));
}

TEST(HookStubs, EveryStubHandsTheHostFunctionAndTheGameWhatTheyHad) {
    for (int event = 1; event <= 8; ++event) {
        divert(event);
        if (is_object_event(event))
            add_event_callback(event, as<ObjectHostEvent::Callback>(clobbering_callback()));
        else
            add_event_callback(event, as<PlainHostEvent::Callback>(clobbering_callback()));
        std::uint32_t problems = sites().run(event);
        EXPECT_EQ(problems, 0u) << event << ": " << hostsim::describe_site_problems(problems);
        EXPECT_EQ(host_calls(event), 1u) << event;
    }
}

int g_runs = 0;
std::uint32_t g_host_calls_seen = 99;
std::uint32_t g_script_seen = 0;
std::uint32_t g_object_seen = 0;

TEST(HookStubs, ListsRunBeforeTheHostFunctionOrAfterItWithItsObject) {
    divert(2);
    auto callback = [] {
        ++g_runs;
        g_host_calls_seen = host_calls(2);
    };
    add_event_callback(2, +callback);
    add_event_callback(2, +callback);  // registered twice, runs twice
    EXPECT_EQ(sites().run(2), 0u);
    EXPECT_EQ(g_runs, 2);
    EXPECT_EQ(g_host_calls_seen, 0u) << "the list runs before the host function";

    divert(5);
    add_event_callback(5, [](std::uint32_t object) {
        g_object_seen = object;
        g_host_calls_seen = host_calls(5);
    });
    std::uint32_t problems = sites().run(5);
    EXPECT_EQ(problems, 0u) << hostsim::describe_site_problems(problems);
    EXPECT_EQ(g_host_calls_seen, 1u) << "the host function runs before the list";
    EXPECT_EQ(g_object_seen, sites().site_object(5));
    EXPECT_EQ(event_object(5), sites().site_object(5));
}

TEST(HookStubs, TheFrameEventRunsOnThePluginsScriptRecord) {
    divert(kFrameEvent);
    add_event_callback(kFrameEvent, [] {
        g_script_seen = read_u32(test::test_host().image().base() +
                                 test::test_host().image().layout().active_script);
    });
    EXPECT_EQ(sites().run(kFrameEvent), 0u) << "the game's record is back for the host";
    EXPECT_EQ(g_script_seen, script_record_address());
}

TEST(HookStubs, CallbacksGetAnAlignedStackWhateverTheHostsAlignment) {
    divert(4);
    add_event_callback(4, as<PlainHostEvent::Callback>(clobbering_callback()));
    test::CodeBuffer buffer;
    std::uint32_t saved_esp = buffer.word();
    for (std::uint8_t skew : {0, 4, 8, 12}) {
        CodeWriter caller(buffer.base());
        caller.pushad();
        caller.store(saved_esp, Reg::esp);
        caller.align_esp(0xF0);
        caller.sub_esp(skew);
        caller.call(event_stub(4));
        caller.load(Reg::esp, saved_esp);
        caller.popad();
        caller.ret();
        test::call_at(caller.start());
        EXPECT_EQ((g_callback_esp + 4) % 16, 0u) << "skew " << int{skew};
    }
}

}  // namespace
}  // namespace corvalen::host
