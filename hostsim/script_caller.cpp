#include "hostsim/script_caller.h"

#include <cstring>

#include "hostsim/host.h"

namespace hostsim {

std::uint32_t call_lookup_routine(std::uint32_t routine, std::uint32_t hash) {
    std::uint32_t handler = 0;
    __asm__ volatile("call *%[routine]"
                     : "=a"(handler)
                     : [routine] "r"(routine), "S"(hash)
                     : "ecx", "edx", "memory", "cc");
    return handler;
}

ScriptCaller::ScriptCaller(Host& host, bool as_own_script)
    : host_(host), as_own_script_(as_own_script) {}

std::uint32_t ScriptCaller::record() const {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record_));
}

bool ScriptCaller::call_raw(std::uint32_t hash, std::initializer_list<std::uint32_t> slots,
                            corvalen::host::NativeContext& context) {
    context = {};
    std::uint32_t area =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(context.slots));
    context.result_pointer = area;
    context.argument_pointer = area;
    for (std::uint32_t value : slots) {
        if (context.argument_count == corvalen::host::kNativeSlotCount)
            break;
        context.slots[context.argument_count++] = value;
    }
    std::uint32_t handler = call_lookup_routine(host_.image().native_lookup_routine(), hash);
    if (handler == 0)
        return false;
    std::uint32_t saved = host_.image().active_script();
    if (as_own_script_)
        host_.image().set_active_script(record());
    reinterpret_cast<void(__attribute__((cdecl))*)(corvalen::host::NativeContext*)>(
        static_cast<std::uintptr_t>(handler))(&context);
    if (as_own_script_)
        host_.image().set_active_script(saved);
    return true;
}

std::uint32_t ScriptCaller::call(std::uint32_t hash, std::initializer_list<std::uint32_t> slots) {
    corvalen::host::NativeContext context;
    if (!call_raw(hash, slots, context))
        return 0;
    if (context.fixup_count > corvalen::host::kNativeFixupCount) {
        context.fixup_count = corvalen::host::kNativeFixupCount;
    }
    while (context.fixup_count != 0) {
        std::uint32_t i = --context.fixup_count;
        // Copied as words, as a script does: through float registers a
        // signalling-NaN pattern would come out changed.
        std::memcpy(
            reinterpret_cast<void*>(static_cast<std::uintptr_t>(context.fixup_destination[i])),
            &context.fixup_value[i], 3 * sizeof(float));
    }
    return context.slots[0];
}

}  // namespace hostsim
