#pragma once
// A native handler's view of the NativeContext it is called with: arguments
// read through the argument pointer, results written through the result
// pointer, vectors left behind as fix-ups, as the game's handlers do.

#include <cstdint>
#include <string>

#include "host/native_context.h"
#include "hostsim/entities.h"

namespace hostsim {

class World;
struct Blip;

class NativeArgs {
  public:
    NativeArgs(corvalen::host::NativeContext* context, World& world, const char* native_name)
        : context_(context), world_(world), name_(native_name) {}

    std::uint32_t count() const { return context_->argument_count; }
    std::uint32_t u(std::uint32_t i) const;
    std::int32_t i(std::uint32_t i) const { return static_cast<std::int32_t>(u(i)); }
    float f(std::uint32_t i) const;
    bool b(std::uint32_t i) const { return (u(i) & 0xFFu) != 0; }
    Vec3 vec(std::uint32_t first) const { return {f(first), f(first + 1), f(first + 2)}; }
    // The NUL-terminated text whose address is argument i; empty (and an error
    // recorded) for a null address.
    std::string text(std::uint32_t i) const;

    // Out-parameters: write through the address in argument i; a null address
    // is recorded as an error and nothing is written.
    bool write_int(std::uint32_t i, std::int32_t value) const;
    bool write_float(std::uint32_t i, float value) const;

    void result(std::uint32_t value) const;
    void result_int(std::int32_t value) const { result(static_cast<std::uint32_t>(value)); }
    void result_float(float value) const;
    void result_bool(bool value) const { result(value ? 1u : 0u); }

    // Leaves a three-float vector for the caller to copy to `destination`
    // after the call; false when all four fix-up entries are in use.
    bool add_fixup(std::uint32_t destination, Vec3 value) const;

    // The character, vehicle or blip whose handle is argument i; null (and an
    // error recorded) when there is none.
    Character* character(std::uint32_t i) const;
    Vehicle* vehicle(std::uint32_t i) const;
    Blip* blip(std::uint32_t i) const;
    Group* group(std::uint32_t i) const;
    // The 32-bit value at the address in argument i (a handle passed by
    // pointer); 0 (and an error recorded) for a null address.
    std::int32_t pointed_int(std::uint32_t i) const;

    World& world() const { return world_; }
    void error(const std::string& what) const;

  private:
    corvalen::host::NativeContext* context_;
    World& world_;
    const char* name_;
};

}  // namespace hostsim
