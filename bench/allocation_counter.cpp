// Counts the heap allocations of the process's own code outside the game's
// natives, by replacing the global allocation functions. Linked only into
// the programs that measure the mod.

#include <cstdint>
#include <cstdlib>
#include <new>

namespace corvalen::bench {
namespace {

std::uint64_t allocations = 0;
bool in_game_code = false;

void* allocate(std::size_t size) {
    if (!in_game_code)
        ++allocations;
    if (size == 0)
        size = 1;
    if (void* block = std::malloc(size))
        return block;
    throw std::bad_alloc();
}

}  // namespace

std::uint64_t mod_allocations() {
    return allocations;
}

void set_in_game_code(bool inside) {
    in_game_code = inside;
}

}  // namespace corvalen::bench

void* operator new(std::size_t size) {
    return corvalen::bench::allocate(size);
}
void* operator new[](std::size_t size) {
    return corvalen::bench::allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return corvalen::bench::allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return corvalen::bench::allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
