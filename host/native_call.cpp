#include "host/native_call.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "host/host_addresses.h"
#include "host/host_version.h"
#include "host/platform.h"

namespace corvalen::host {
namespace {

// Handlers are plain cdecl functions taking the context's address.
using NativeHandler = void (*)(NativeContext*);

std::uint32_t address_of(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

}  // namespace

void copy_back_fixups(NativeContext& context) {
    // A count beyond the four entries the record holds would read and write
    // outside it (and a huge one would spin for seconds), so only the
    // record's entries are copied.
    std::uint32_t index = std::min(context.fixup_count, kNativeFixupCount);
    while (index != 0) {
        --index;
        // The three words are copied as bytes: loading them as floats would
        // pass them through the x87 unit in a 32-bit build, which quietens a
        // signalling-NaN pattern and so changes the bits the host wrote.
        static_assert(offsetof(NativeVector, y) == 4 && offsetof(NativeVector, z) == 8);
        std::memcpy(reinterpret_cast<void*>(context.fixup_destination[index]),
                    &context.fixup_value[index], 3 * sizeof(float));
    }
    context.fixup_count = 0;
}

std::uint32_t find_native_handler(NativeHash hash) {
    std::uint32_t lookup = resolve(kNativeLookup);
    if (lookup == 0) {
        return 0;
    }
    return platform::guarded_native_lookup(lookup, hash);
}

std::uint32_t call_native(NativeHash hash, std::initializer_list<std::uint32_t> slots) {
    NativeContext context{};
    context.result_pointer = address_of(context.slots);
    context.argument_pointer = address_of(context.slots);
    context.fixup_count = 0;
    std::uint32_t count = 0;
    for (std::uint32_t value : slots) {
        if (count == kNativeSlotCount) {
            break;
        }
        context.slots[count++] = value;
    }
    context.argument_count = count;

    std::uint32_t handler = find_native_handler(hash);
    if (handler == 0) {
        // Nothing wrote slot 0; its leftover first argument means nothing.
        return 0;
    }
    reinterpret_cast<NativeHandler>(handler)(&context);
    copy_back_fixups(context);
    return context.slots[0];
}

bool native_bool(NativeHash hash) {
    return as_bool(call_native(hash, {}));
}

std::uint32_t native_u32(NativeHash hash) {
    return call_native(hash, {});
}

bool native_bool(NativeHash hash, std::uint32_t a) {
    return as_bool(call_native(hash, {a}));
}

std::uint32_t native_u32(NativeHash hash, std::uint32_t a) {
    return call_native(hash, {a});
}

bool native_bool(NativeHash hash, std::uint32_t a, std::uint32_t b) {
    return as_bool(call_native(hash, {a, b}));
}

std::uint32_t native_u32(NativeHash hash, std::uint32_t a, std::uint32_t b) {
    return call_native(hash, {a, b});
}

std::uint32_t native_u32_bool(NativeHash hash, std::uint32_t a, bool b) {
    return call_native(hash, {a, slot(b)});
}

std::uint32_t native_u32_float(NativeHash hash, std::uint32_t a, float b) {
    return call_native(hash, {a, slot(b)});
}

}  // namespace corvalen::host
