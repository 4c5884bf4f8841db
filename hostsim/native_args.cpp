#include "hostsim/native_args.h"

#include <bit>
#include <cstring>

#include "hostsim/world.h"

namespace hostsim {
namespace {

template <class T>
T* pointer(std::uint32_t address) {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
}

// Texts longer than this are not what a script hands the game.
constexpr std::size_t kMaxText = 1024;

}  // namespace

std::uint32_t NativeArgs::u(std::uint32_t i) const {
    if (i >= context_->argument_count || i >= corvalen::host::kNativeSlotCount)
        return 0;
    std::uint32_t value = 0;
    std::memcpy(&value, pointer<std::uint8_t>(context_->argument_pointer) + 4 * i, sizeof(value));
    return value;
}

float NativeArgs::f(std::uint32_t i) const {
    return std::bit_cast<float>(u(i));
}

std::string NativeArgs::text(std::uint32_t i) const {
    std::uint32_t address = u(i);
    if (address == 0) {
        error("null text in argument " + std::to_string(i));
        return {};
    }
    const char* start = pointer<const char>(address);
    return std::string(start, strnlen(start, kMaxText));
}

bool NativeArgs::write_int(std::uint32_t i, std::int32_t value) const {
    std::uint32_t address = u(i);
    if (address == 0) {
        error("null out-address in argument " + std::to_string(i));
        return false;
    }
    std::memcpy(pointer<std::uint8_t>(address), &value, sizeof(value));
    return true;
}

bool NativeArgs::write_float(std::uint32_t i, float value) const {
    return write_int(i, std::bit_cast<std::int32_t>(value));
}

void NativeArgs::result(std::uint32_t value) const {
    std::memcpy(pointer<std::uint8_t>(context_->result_pointer), &value, sizeof(value));
}

void NativeArgs::result_float(float value) const {
    result(std::bit_cast<std::uint32_t>(value));
}

bool NativeArgs::add_fixup(std::uint32_t destination, Vec3 value) const {
    std::uint32_t n = context_->fixup_count;
    if (n >= corvalen::host::kNativeFixupCount)
        return false;
    context_->fixup_destination[n] = destination;
    context_->fixup_value[n] = {value.x, value.y, value.z, 0};
    context_->fixup_count = n + 1;
    return true;
}

Character* NativeArgs::character(std::uint32_t i) const {
    Character* person = world_.character(this->i(i));
    if (person == nullptr)
        error("no character " + hex(u(i)));
    return person;
}

Vehicle* NativeArgs::vehicle(std::uint32_t i) const {
    Vehicle* car = world_.vehicle(this->i(i));
    if (car == nullptr)
        error("no vehicle " + hex(u(i)));
    return car;
}

Blip* NativeArgs::blip(std::uint32_t i) const {
    Blip* found = world_.blip(this->i(i));
    if (found == nullptr)
        error("no blip " + hex(u(i)));
    return found;
}

Group* NativeArgs::group(std::uint32_t i) const {
    Group* found = world_.group(this->i(i));
    if (found == nullptr)
        error("no group " + hex(u(i)));
    return found;
}

std::int32_t NativeArgs::pointed_int(std::uint32_t i) const {
    std::uint32_t address = u(i);
    if (address == 0) {
        error("null handle address in argument " + std::to_string(i));
        return 0;
    }
    std::int32_t value = 0;
    std::memcpy(&value, pointer<std::uint8_t>(address), sizeof(value));
    return value;
}

void NativeArgs::error(const std::string& what) const {
    world_.record_error(std::string(name_) + ": " + what);
}

}  // namespace hostsim
