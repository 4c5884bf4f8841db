#pragma once
// Calls the game's natives the way a script does, for tests and demos that
// play a script without the plug-in: the lookup routine with the hash in ESI,
// a NativeContext on the stack, the handler, then the fix-up vectors copied
// back (highest entry first).

#include <bit>
#include <cstdint>
#include <initializer_list>

#include "host/native_context.h"

namespace hostsim {

class Host;

class ScriptCaller {
  public:
    // as_own_script: point the active script pointer at the caller's own
    // record during each call, as the plug-in's frame stub does.
    explicit ScriptCaller(Host& host, bool as_own_script = false);

    // Returns slot 0 after the call; 0 when the game has no such native.
    std::uint32_t call(std::uint32_t hash, std::initializer_list<std::uint32_t> slots);
    // The same without copying fix-ups back, leaving the context to inspect.
    // False when the game has no such native.
    bool call_raw(std::uint32_t hash, std::initializer_list<std::uint32_t> slots,
                  corvalen::host::NativeContext& context);

    std::uint32_t record() const;  // the caller's own script record

    static std::uint32_t arg(std::int32_t value) { return static_cast<std::uint32_t>(value); }
    static std::uint32_t arg(float value) { return std::bit_cast<std::uint32_t>(value); }
    static std::uint32_t arg(bool value) { return value ? 1u : 0u; }
    static std::uint32_t arg(const void* address) {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
    }

  private:
    Host& host_;
    bool as_own_script_;
    alignas(16) std::uint8_t record_[256] = {};
};

// The lookup routine's calling form: hash in ESI, handler in EAX.
std::uint32_t call_lookup_routine(std::uint32_t routine, std::uint32_t hash);

}  // namespace hostsim
