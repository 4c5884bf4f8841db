#pragma once
// Machine code written at run time into a page of our own, for tests that
// need "host" code: call sites to divert, routines with odd register habits,
// routines that fault. Only the few IA-32 encodings the tests use.

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace corvalen::test {

enum class Reg : std::uint8_t { eax, ecx, edx, ebx, esp, ebp, esi, edi };

inline std::uint32_t address_of(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

// Appends machine code at an address.
class CodeWriter {
  public:
    explicit CodeWriter(std::uint32_t address = 0) : here_(address) {}

    std::uint32_t here() const { return here_; }
    void seek(std::uint32_t address) { here_ = address; }

    static std::uint32_t get(std::uint32_t address) {
        std::uint32_t value;
        std::memcpy(&value, reinterpret_cast<const void*>(address), 4);
        return value;
    }
    static void set(std::uint32_t address, std::uint32_t value) {
        std::memcpy(reinterpret_cast<void*>(address), &value, 4);
    }

    void bytes(std::initializer_list<std::uint8_t> values) {
        for (std::uint8_t value : values) {
            *reinterpret_cast<std::uint8_t*>(here_++) = value;
        }
    }
    void u32(std::uint32_t value) {
        set(here_, value);
        here_ += 4;
    }
    void call(std::uint32_t target) {
        bytes({0xE8});
        u32(target - (here_ + 4));
    }
    void jmp(std::uint32_t target) {
        bytes({0xE9});
        u32(target - (here_ + 4));
    }
    void ret() { bytes({0xC3}); }
    void pushad() { bytes({0x60}); }
    void popad() { bytes({0x61}); }
    void push(Reg reg) { bytes({static_cast<std::uint8_t>(0x50 + static_cast<int>(reg))}); }
    void pop(Reg reg) { bytes({static_cast<std::uint8_t>(0x58 + static_cast<int>(reg))}); }
    void push_imm(std::uint32_t value) {
        bytes({0x68});
        u32(value);
    }
    void mov_imm(Reg reg, std::uint32_t value) {
        bytes({static_cast<std::uint8_t>(0xB8 + static_cast<int>(reg))});
        u32(value);
    }
    // mov [address], reg
    void store(std::uint32_t address, Reg reg) {
        bytes({0x89, static_cast<std::uint8_t>(0x05 | (static_cast<int>(reg) << 3))});
        u32(address);
    }
    // mov reg, [address]
    void load(Reg reg, std::uint32_t address) {
        bytes({0x8B, static_cast<std::uint8_t>(0x05 | (static_cast<int>(reg) << 3))});
        u32(address);
    }
    // mov reg, [esp + displacement]
    void load_from_stack(Reg reg, std::int8_t displacement) {
        bytes({0x8B, static_cast<std::uint8_t>(0x44 | (static_cast<int>(reg) << 3)), 0x24,
               static_cast<std::uint8_t>(displacement)});
    }
    void add_esp(std::int8_t amount) { bytes({0x83, 0xC4, static_cast<std::uint8_t>(amount)}); }
    void sub_esp(std::int8_t amount) { bytes({0x83, 0xEC, static_cast<std::uint8_t>(amount)}); }
    void align_esp() { bytes({0x83, 0xE4, 0xF0}); }  // and esp, -16
    // inc dword [address]
    void increment(std::uint32_t address) {
        bytes({0xFF, 0x05});
        u32(address);
    }
    // Faults: a read of address 0, an undefined instruction, a division by 0.
    void read_address_zero() { bytes({0xA1, 0, 0, 0, 0}); }
    void undefined_instruction() { bytes({0x0F, 0x0B}); }
    void divide_by_zero() { bytes({0x31, 0xC9, 0xF7, 0xF1}); }  // xor ecx, ecx; div ecx

  private:
    std::uint32_t here_;
};

// An executable, writable mapping of its own; code is appended from the
// start, data words are set aside from the end.
class CodeBuffer : public CodeWriter {
  public:
    explicit CodeBuffer(std::uint32_t size = 0x10000,
                        int protection = PROT_READ | PROT_WRITE | PROT_EXEC)
        : size_(size) {
        void* memory = mmap(nullptr, size, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = memory == MAP_FAILED ? 0 : address_of(memory);
        seek(base_);
        data_ = base_ + size;
    }
    ~CodeBuffer() {
        if (base_ != 0)
            munmap(reinterpret_cast<void*>(base_), size_);
    }
    CodeBuffer(const CodeBuffer&) = delete;
    CodeBuffer& operator=(const CodeBuffer&) = delete;

    std::uint32_t base() const { return base_; }

    // A zeroed 32-bit word from the end of the buffer.
    std::uint32_t word() {
        data_ -= 4;
        set(data_, 0);
        return data_;
    }

  private:
    std::uint32_t size_;
    std::uint32_t base_;
    std::uint32_t data_;
};

// Code at an address, called as a plain cdecl function.
template <typename Function>
Function code_at(std::uint32_t address) {
    return reinterpret_cast<Function>(static_cast<std::uintptr_t>(address));
}

}  // namespace corvalen::test
