#pragma once
// Short forms of the wrappers whose hash the caller gives, behind the frame
// gate, for the files that implement the typed host interface: `ask` for a
// true-or-false answer, `tell` for an effect, `read_out` for a native that
// writes its answer through an address in its second slot. Private to those
// files.

#include "host/frame_gate.h"
#include "host/native_call.h"

namespace corvalen::host {

inline bool ask(NativeHash hash, std::uint32_t a) {
    return in_frame([&] { return native_bool(hash, a); });
}
inline bool ask(NativeHash hash, std::uint32_t a, std::uint32_t b) {
    return in_frame([&] { return native_bool(hash, a, b); });
}
inline void tell(NativeHash hash, std::uint32_t a) {
    in_frame([&] { return native_u32(hash, a); });
}
inline void tell(NativeHash hash, std::uint32_t a, std::uint32_t b) {
    in_frame([&] { return native_u32(hash, a, b); });
}
inline void tell(NativeHash hash, std::uint32_t a, bool b) {
    in_frame([&] { return native_u32_bool(hash, a, b); });
}
inline void tell(NativeHash hash, std::uint32_t a, float b) {
    in_frame([&] { return native_u32_float(hash, a, b); });
}
template <typename Value>
Value read_out(NativeHash hash, std::uint32_t a, Value initial) {
    Value value = initial;
    tell(hash, a, slot(&value));
    return value;
}

}  // namespace corvalen::host
