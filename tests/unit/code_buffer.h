#pragma once
// A mapping of our own for machine code the tests write with the stand-in's
// writer: call sites to divert, routines with odd register habits, routines
// that fault.

#include <sys/mman.h>

#include <cstdint>

#include "hostsim/page_protections.h"
#include "hostsim/x86_writer.h"

namespace corvalen::test {

using hostsim::CodeWriter;
using hostsim::read_u32;
using hostsim::Reg;
using hostsim::write_u32;

inline std::uint32_t address_of(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

inline void call_at(std::uint32_t address) {
    reinterpret_cast<void (*)()>(static_cast<std::uintptr_t>(address))();
}

// Code is appended from the start through `code`; data words are set aside
// from the end. The buffer plays host code, so the host knows its protection.
class CodeBuffer {
  public:
    explicit CodeBuffer(std::uint32_t size = 0x10000,
                        int protection = PROT_READ | PROT_WRITE | PROT_EXEC)
        : size_(size),
          base_(address_of(mmap(nullptr, size, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))),
          data_(base_ + size),
          code(base_) {
        hostsim::record_page_protection(base_, size_, protection);
    }
    ~CodeBuffer() {
        hostsim::forget_pages(base_, size_);
        munmap(reinterpret_cast<void*>(base_), size_);
    }
    CodeBuffer(const CodeBuffer&) = delete;
    CodeBuffer& operator=(const CodeBuffer&) = delete;

    std::uint32_t base() const { return base_; }
    // A zeroed 32-bit word from the end of the buffer.
    std::uint32_t word() {
        data_ -= 4;
        write_u32(data_, 0);
        return data_;
    }

  private:
    std::uint32_t size_;
    std::uint32_t base_;
    std::uint32_t data_;

  public:
    CodeWriter code;
};

}  // namespace corvalen::test
