#pragma once
// The argument record the host's native handlers read and write. Its layout is
// fixed by the host, so every offset is pinned below.

#include <cstddef>
#include <cstdint>

namespace corvalen::host {

using NativeHash = std::uint32_t;

inline constexpr std::uint32_t kNativeSlotCount = 16;
inline constexpr std::uint32_t kNativeFixupCount = 4;

struct NativeVector {
    float x;
    float y;
    float z;
    std::uint32_t unused;
};

struct NativeContext {
    std::uint32_t result_pointer;  // always the argument area
    std::uint32_t argument_count;
    std::uint32_t argument_pointer;  // always the argument area
    std::uint32_t fixup_count;       // raised by handlers that leave vectors behind
    std::uint32_t fixup_destination[kNativeFixupCount];
    NativeVector fixup_value[kNativeFixupCount];
    std::uint32_t slots[kNativeSlotCount];
};

static_assert(offsetof(NativeContext, result_pointer) == 0x00);
static_assert(offsetof(NativeContext, argument_count) == 0x04);
static_assert(offsetof(NativeContext, argument_pointer) == 0x08);
static_assert(offsetof(NativeContext, fixup_count) == 0x0C);
static_assert(offsetof(NativeContext, fixup_destination) == 0x10);
static_assert(offsetof(NativeContext, fixup_value) == 0x20);
static_assert(sizeof(NativeVector) == 0x10);
static_assert(offsetof(NativeContext, slots) == 0x60);
static_assert(sizeof(NativeContext) == 0xA0);

}  // namespace corvalen::host
