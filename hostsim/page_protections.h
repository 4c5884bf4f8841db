#pragma once
// Linux only: how the host's pages are protected. The plug-in asks
// (posix_host_page_protection) before it rewrites host code, to put the
// protection back afterwards. The stand-in records its module image; tests
// that play host code in memory of their own record that memory.

#include <cstdint>

namespace hostsim {

// Protection is PROT_READ, PROT_WRITE and PROT_EXEC bits, for every page the
// range touches.
void record_page_protection(std::uint32_t address, std::uint32_t size, int protection);
void forget_pages(std::uint32_t address, std::uint32_t size);

}  // namespace hostsim
