#include "host/call_hook.h"

#include <cstring>

#include "host/platform.h"

namespace corvalen::host {
namespace {

std::uint32_t read_word(std::uint32_t address) {
    auto protection = platform::make_writable(address, sizeof(std::uint32_t));
    std::uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const void*>(address), sizeof value);
    platform::restore_protection(address, sizeof(std::uint32_t), protection);
    return value;
}

void write_bytes(std::uint32_t address, const void* bytes, std::uint32_t size) {
    auto protection = platform::make_writable(address, size);
    std::memcpy(reinterpret_cast<void*>(address), bytes, size);
    platform::restore_protection(address, size, protection);
}

}  // namespace

std::uint32_t install_call_hook(std::uint32_t site, std::uint32_t stub) {
    if (site == 0) {
        return 0;
    }
    // Unsigned arithmetic wraps exactly like the processor's rel32 does.
    std::uint32_t displacement = read_word(site + 1);
    std::uint32_t previous_target = site + kRelativeCallLength + displacement;

    write_bytes(site, &kRelativeCallOpcode, 1);
    std::uint32_t new_displacement = stub - (site + kRelativeCallLength);
    write_bytes(site + 1, &new_displacement, sizeof new_displacement);
    return previous_target;
}

}  // namespace corvalen::host
