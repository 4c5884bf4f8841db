#pragma once
// Whole-metre positions, each with the first number (a point's index, a
// line's) given for it: how a stop file finds its duplicates and a link its
// target. Open addressing over a power of two of slots, at most half of them
// taken; a slot holds only the number of a position in the lists beside it,
// so that the slots of 100,000 positions stay within a megabyte, where a
// lookup costs far less than in a table of whole entries or a search of a
// sorted one.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvalen {

class PositionTable {
  public:
    explicit PositionTable(std::size_t expected = 0) { reset(expected); }

    // Empties the table for about `expected` positions. The room it had is
    // used again, so that a network loaded anew does not fault in fresh
    // pages; room for far more than that is given back.
    void reset(std::size_t expected) {
        std::size_t slots = std::bit_ceil(std::max<std::size_t>(2 * expected, 16));
        if (slots_.capacity() > 4 * slots) {
            slots_ = std::vector<std::uint32_t>();
            keys_ = std::vector<std::uint64_t>();
            values_ = std::vector<std::size_t>();
        }
        slots_.assign(slots, 0);
        keys_.clear();
        values_.clear();
        keys_.reserve(expected);
        values_.reserve(expected);
    }

    // The number given first for (x, y); otherwise `value` becomes it and the
    // result is empty.
    std::optional<std::size_t> claim(std::int32_t x, std::int32_t y, std::size_t value) {
        std::uint64_t key = key_of(x, y);
        std::uint32_t& slot = slots_[slot_of(key)];
        if (slot != 0)
            return values_[slot - 1];
        keys_.push_back(key);
        values_.push_back(value);
        slot = static_cast<std::uint32_t>(keys_.size());
        if (2 * keys_.size() > slots_.size())
            grow();
        return std::nullopt;
    }

    // The number given first for (x, y), if any.
    std::optional<std::size_t> find(std::int32_t x, std::int32_t y) const {
        if (slots_.empty())
            return std::nullopt;  // a table whose room another took
        std::uint32_t slot = slots_[slot_of(key_of(x, y))];
        if (slot == 0)
            return std::nullopt;
        return values_[slot - 1];
    }

  private:
    static std::uint64_t key_of(std::int32_t x, std::int32_t y) {
        return (std::uint64_t{static_cast<std::uint32_t>(x)} << 32) | static_cast<std::uint32_t>(y);
    }

    // The slot that holds `key`, or the free one (0) where it belongs.
    std::size_t slot_of(std::uint64_t key) const {
        std::size_t mask = slots_.size() - 1;
        auto at = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
        while (slots_[at] != 0 && keys_[slots_[at] - 1] != key)
            at = (at + 1) & mask;
        return at;
    }

    void grow() {
        slots_.assign(slots_.size() * 2, 0);
        for (std::size_t i = 0; i < keys_.size(); ++i)
            slots_[slot_of(keys_[i])] = static_cast<std::uint32_t>(i + 1);
    }

    std::vector<std::uint32_t> slots_;  // 0: free; else one more than the position's number
    std::vector<std::uint64_t> keys_;
    std::vector<std::size_t> values_;
};

}  // namespace corvalen
