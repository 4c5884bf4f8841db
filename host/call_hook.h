#pragma once
// Rewrites one five-byte relative call instruction in host code so that it
// calls a stub of ours instead.

#include <cstdint>

namespace corvalen::host {

inline constexpr std::uint8_t kRelativeCallOpcode = 0xE8;
inline constexpr std::uint32_t kRelativeCallLength = 5;

// Returns the address the call reached before (0 when the site is 0, in
// which case nothing is written). The byte at the site becomes 0xE8 whatever
// stood there; the writes happen even when a protection change fails.
std::uint32_t install_call_hook(std::uint32_t site, std::uint32_t stub);

}  // namespace corvalen::host
