#pragma once
// One native call: look the handler up, fill a NativeContext, call, copy the
// fix-up vectors back, decode slot 0. Callers never build a context themselves.

#include <bit>
#include <cstdint>
#include <initializer_list>

#include "host/native_context.h"

namespace corvalen::host {

// Slot encodings, one 32-bit slot per argument.
inline std::uint32_t slot(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}
inline std::uint32_t slot(std::uint32_t value) {
    return value;
}
inline std::uint32_t slot(bool value) {
    return value ? 1u : 0u;
}  // upper bytes stay 0
inline std::uint32_t slot(float value) {
    return std::bit_cast<std::uint32_t>(value);
}
inline std::uint32_t slot(const void* address) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
}

// Result decodings of slot 0.
inline bool as_bool(std::uint32_t slot0) {
    return (slot0 & 0xFFu) != 0;
}
inline std::int32_t as_int(std::uint32_t slot0) {
    return static_cast<std::int32_t>(slot0);
}
inline float as_float(std::uint32_t slot0) {
    return std::bit_cast<float>(slot0);
}

// Copies the three floats of each vector a handler left for fix-up to its
// destination, highest entry first, and clears the count. Only the record's
// four entries exist, whatever count the handler wrote.
void copy_back_fixups(NativeContext& context);

// Handler address for a hash, 0 when the host has none (or its lookup faulted).
std::uint32_t find_native_handler(NativeHash hash);

// Calls the native with the given encoded slots and returns slot 0 afterwards.
// For a hash the host does not know nothing is called and the result is 0.
std::uint32_t call_native(NativeHash hash, std::initializer_list<std::uint32_t> slots);

// The generic wrappers: the hash is the caller's, one wrapper per signature.
bool native_bool(NativeHash hash);
std::uint32_t native_u32(NativeHash hash);
bool native_bool(NativeHash hash, std::uint32_t a);
std::uint32_t native_u32(NativeHash hash, std::uint32_t a);
bool native_bool(NativeHash hash, std::uint32_t a, std::uint32_t b);
std::uint32_t native_u32(NativeHash hash, std::uint32_t a, std::uint32_t b);
std::uint32_t native_u32_bool(NativeHash hash, std::uint32_t a, bool b);
std::uint32_t native_u32_float(NativeHash hash, std::uint32_t a, float b);

}  // namespace corvalen::host
