#pragma once
// Comparisons of host game-timer values (unsigned milliseconds). The timer
// starts small in a new game, goes back when an older save is loaded and
// wraps after 49 days, so times are compared by the signed distance between
// them, which holds as long as the two lie within 24 days of each other.

#include <cstdint>

namespace corvalen {

// Milliseconds from `since` to `now` (wrapping).
inline std::uint32_t elapsed_since(std::uint32_t since, std::uint32_t now) {
    return now - since;
}

// `now` is at or after `time`.
inline bool reached(std::uint32_t now, std::uint32_t time) {
    return static_cast<std::int32_t>(now - time) >= 0;
}

// `now` is after `time`.
inline bool passed(std::uint32_t now, std::uint32_t time) {
    return static_cast<std::int32_t>(now - time) > 0;
}

// A time `ms` after `now`; negative durations count as none.
inline std::uint32_t after(std::uint32_t now, std::int32_t ms) {
    return now + static_cast<std::uint32_t>(ms > 0 ? ms : 0);
}

}  // namespace corvalen
