#include "host/hook_stubs.h"

#include "host/host_events.h"

// The stubs do only what C++ cannot: keep every register of the host, realign
// the stack (the host gives no guarantee, the Linux ABI wants 16 bytes) and
// get to the previous target without touching a register. The previous
// target is fetched by a call into C++ and written into a slot reserved on
// the stack; after the registers are back, `ret` pops that slot and lands in
// the host function with the host's own return address on top, as a jump
// would. All references are PC-relative calls, so the Linux shared object
// needs no text relocations.
//
// Stub entry, shared by both forms: reserve the slot, save registers, call
// C++ with the event (it returns the target), store the target in the slot,
// restore registers.
// Before-stub: the entry, whose C++ call also runs the list, then ret.
// After-stub: the entry, whose C++ call only keeps the object pointer (ECX),
// then `call *(%esp)` runs the host function with every register as the host
// left it; the two words above its return address are harmless because these
// host functions take no stack arguments. Then save registers (EAX and EDX
// hold its result), run the list, restore, drop the slot and return to the
// host.

#ifdef _WIN32
asm(R"(
    .macro corvalen_stub_symbol name
    .globl \name
    .endm
)");
#else
asm(R"(
    .macro corvalen_stub_symbol name
    .globl \name
    .hidden \name
    .type \name, @function
    .endm
)");
#endif

asm(R"(
    .macro corvalen_call_cxx function
    movl %esp, %ebx
    andl $-16, %esp
    subl $8, %esp
    pushl %ecx
    pushl %edx
    cld
    call \function
    movl %ebx, %esp
    .endm

    .macro corvalen_stub_entry event, function
    .text
    corvalen_stub_symbol corvalen_event_stub_\event
corvalen_event_stub_\event:
    subl $4, %esp
    pushal
    movl $\event, %edx
    corvalen_call_cxx \function
    movl %eax, 32(%esp)
    popal
    .endm

    .macro corvalen_before_stub event
    corvalen_stub_entry \event, corvalen_before_event
    ret
    .endm

    .macro corvalen_after_stub event
    corvalen_stub_entry \event, corvalen_after_event_enter
    call *(%esp)
    pushal
    movl $\event, %edx
    corvalen_call_cxx corvalen_after_event_leave
    popal
    leal 4(%esp), %esp
    ret
    .endm

    corvalen_before_stub 1
    corvalen_before_stub 2
    corvalen_before_stub 3
    corvalen_before_stub 4
    corvalen_after_stub 5
    corvalen_after_stub 6
    corvalen_before_stub 7
    corvalen_before_stub 8
)");

namespace corvalen::host {

extern "C" {
std::uint32_t corvalen_before_event(int event) asm("corvalen_before_event");
std::uint32_t corvalen_after_event_enter(int event,
                                         std::uint32_t object) asm("corvalen_after_event_enter");
void corvalen_after_event_leave(int event) asm("corvalen_after_event_leave");

void corvalen_event_stub_1() asm("corvalen_event_stub_1");
void corvalen_event_stub_2() asm("corvalen_event_stub_2");
void corvalen_event_stub_3() asm("corvalen_event_stub_3");
void corvalen_event_stub_4() asm("corvalen_event_stub_4");
void corvalen_event_stub_5() asm("corvalen_event_stub_5");
void corvalen_event_stub_6() asm("corvalen_event_stub_6");
void corvalen_event_stub_7() asm("corvalen_event_stub_7");
void corvalen_event_stub_8() asm("corvalen_event_stub_8");
}

namespace {

constinit std::uint32_t g_previous_targets[kHostEventCount] = {};
constinit std::uint32_t g_event_objects[kHostEventCount] = {};
constinit std::uint32_t g_active_script_pointer_location = 0;
alignas(16) constinit std::uint8_t g_script_record[kScriptRecordSize] = {};

bool valid_event(int event) {
    return event >= 1 && event <= kHostEventCount;
}

std::uint32_t address_of(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

// Nothing thrown by a callback may travel into host code.
template <typename... Arguments>
void run_sheltered(int event, Arguments... arguments) {
    try {
        run_host_event(event, arguments...);
    } catch (...) {
    }
}

}  // namespace

std::uint32_t event_stub(int event) {
    static constexpr void (*kStubs[kHostEventCount])() = {
        corvalen_event_stub_1, corvalen_event_stub_2, corvalen_event_stub_3, corvalen_event_stub_4,
        corvalen_event_stub_5, corvalen_event_stub_6, corvalen_event_stub_7, corvalen_event_stub_8,
    };
    return valid_event(event) ? address_of(reinterpret_cast<const void*>(kStubs[event - 1])) : 0;
}

void set_previous_target(int event, std::uint32_t target) {
    if (valid_event(event)) {
        g_previous_targets[event - 1] = target;
    }
}

std::uint32_t previous_target(int event) {
    return valid_event(event) ? g_previous_targets[event - 1] : 0;
}

std::uint32_t event_object(int event) {
    return valid_event(event) ? g_event_objects[event - 1] : 0;
}

void set_active_script_pointer_location(std::uint32_t address) {
    g_active_script_pointer_location = address;
}

std::uint32_t script_record_address() {
    return address_of(g_script_record);
}

// The stubs pass the event in EDX and the object in ECX (they push both), so
// these take the two as ordinary stack arguments: (event, object).
extern "C" std::uint32_t corvalen_before_event(int event) {
    if (event == kFrameEvent && g_active_script_pointer_location != 0) {
        // Natives called by the frame tick run on behalf of our script record.
        auto* active_script = reinterpret_cast<volatile std::uint32_t*>(
            static_cast<std::uintptr_t>(g_active_script_pointer_location));
        std::uint32_t host_script = *active_script;
        *active_script = script_record_address();
        run_sheltered(event);
        *active_script = host_script;
    } else {
        run_sheltered(event);
    }
    return previous_target(event);
}

extern "C" std::uint32_t corvalen_after_event_enter(int event, std::uint32_t object) {
    if (valid_event(event)) {
        g_event_objects[event - 1] = object;
    }
    return previous_target(event);
}

extern "C" void corvalen_after_event_leave(int event) {
    run_sheltered(event, event_object(event));
}

}  // namespace corvalen::host
