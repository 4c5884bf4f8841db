#include "hostsim/x86_writer.h"

#include <cstring>

namespace hostsim {
namespace {

std::uint8_t* at(std::uint32_t address) {
    return reinterpret_cast<std::uint8_t*>(static_cast<std::uintptr_t>(address));
}

std::uint8_t code(Reg reg) {
    return static_cast<std::uint8_t>(reg);
}

}  // namespace

std::uint32_t read_u32(std::uint32_t address) {
    std::uint32_t value = 0;
    std::memcpy(&value, at(address), sizeof(value));
    return value;
}

void write_u32(std::uint32_t address, std::uint32_t value) {
    std::memcpy(at(address), &value, sizeof(value));
}

void CodeWriter::bytes(std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t value : values)
        *at(here_++) = value;
}

void CodeWriter::u32(std::uint32_t value) {
    write_u32(here_, value);
    here_ += 4;
}

void CodeWriter::call(std::uint32_t target) {
    bytes({0xE8});
    u32(target - (here_ + 4));
}

void CodeWriter::jmp(std::uint32_t target) {
    bytes({0xE9});
    u32(target - (here_ + 4));
}

void CodeWriter::push(Reg reg) {
    bytes({static_cast<std::uint8_t>(0x50 + code(reg))});
}

void CodeWriter::pop(Reg reg) {
    bytes({static_cast<std::uint8_t>(0x58 + code(reg))});
}

void CodeWriter::push_imm(std::uint32_t value) {
    bytes({0x68});
    u32(value);
}

void CodeWriter::push_ebp_relative(std::int8_t displacement) {
    bytes({0xFF, 0x75, static_cast<std::uint8_t>(displacement)});
}

void CodeWriter::mov_imm(Reg reg, std::uint32_t value) {
    bytes({static_cast<std::uint8_t>(0xB8 + code(reg))});
    u32(value);
}

void CodeWriter::mov(Reg to, Reg from) {
    bytes({0x89, static_cast<std::uint8_t>(0xC0 | (code(from) << 3) | code(to))});
}

void CodeWriter::modrm_absolute(std::uint8_t opcode, Reg reg, std::uint32_t address) {
    bytes({opcode, static_cast<std::uint8_t>(0x05 | (code(reg) << 3))});
    u32(address);
}

void CodeWriter::store(std::uint32_t address, Reg reg) {
    modrm_absolute(0x89, reg, address);
}

void CodeWriter::load(Reg reg, std::uint32_t address) {
    modrm_absolute(0x8B, reg, address);
}

void CodeWriter::load_esp_relative(Reg reg, std::int8_t displacement) {
    bytes({0x8B, static_cast<std::uint8_t>(0x44 | (code(reg) << 3)), 0x24,
           static_cast<std::uint8_t>(displacement)});
}

void CodeWriter::increment(std::uint32_t address) {
    bytes({0xFF, 0x05});
    u32(address);
}

}  // namespace hostsim
