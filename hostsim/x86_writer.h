#pragma once
// Writes the few IA-32 instructions the stand-in's image needs, at absolute
// addresses inside the image. Only the encodings used are offered.

#include <cstdint>
#include <initializer_list>

namespace hostsim {

enum class Reg : std::uint8_t {
    eax = 0,
    ecx = 1,
    edx = 2,
    ebx = 3,
    esp = 4,
    ebp = 5,
    esi = 6,
    edi = 7
};

// Raw access to image memory by 32-bit address.
std::uint32_t read_u32(std::uint32_t address);
void write_u32(std::uint32_t address, std::uint32_t value);

class CodeWriter {
  public:
    explicit CodeWriter(std::uint32_t address) : start_(address), here_(address) {}

    std::uint32_t start() const { return start_; }
    std::uint32_t here() const { return here_; }

    void bytes(std::initializer_list<std::uint8_t> values);
    void u32(std::uint32_t value);

    void call(std::uint32_t target);  // E8 rel32
    void jmp(std::uint32_t target);   // E9 rel32
    void ret() { bytes({0xC3}); }
    void pushad() { bytes({0x60}); }
    void popad() { bytes({0x61}); }
    void push(Reg reg);
    void pop(Reg reg);
    void push_imm(std::uint32_t value);
    void push_ebp_relative(std::int8_t displacement);  // push dword [ebp+d]
    void mov_imm(Reg reg, std::uint32_t value);
    void mov(Reg to, Reg from);
    void store(std::uint32_t address, Reg reg);                 // mov [address], reg
    void load(Reg reg, std::uint32_t address);                  // mov reg, [address]
    void load_esp_relative(Reg reg, std::int8_t displacement);  // mov reg, [esp+d]
    void increment(std::uint32_t address);                      // inc dword [address]
    void align_esp(std::uint8_t minus_mask) { bytes({0x83, 0xE4, minus_mask}); }  // and esp, imm8
    void sub_esp(std::uint8_t amount) { bytes({0x83, 0xEC, amount}); }

  private:
    void modrm_absolute(std::uint8_t opcode, Reg reg, std::uint32_t address);

    std::uint32_t start_;
    std::uint32_t here_;
};

}  // namespace hostsim
