#pragma once
// The host's distance natives answer in single precision. The same distance
// computed here in double lands within a tiny margin of every answer the host
// can give, so a search needs to ask the host only about the few places whose
// margin touches the comparison it makes: the answers stay the host's, and a
// frame near thousands of points makes a handful of native calls instead of
// thousands.

#include <cmath>
#include <cstdint>

#include "host/host_game.h"

namespace corvalen {

// Where the host's answer for one distance lies: low <= answer <= high. A
// range that is not `known` may hold anything (positions too far out for the
// margin, or no numbers at all); the host must be asked.
struct DistanceRange {
    double low = 0.0;
    double high = 0.0;
    bool known = false;
};

namespace distance_detail {

// Single precision carries 24 bits; a handful of roundings stays far below
// 2^-16 of the result. The absolute part covers squares that underflow.
constexpr double kRelativeMargin = 1.0 / 65536.0;
constexpr double kAbsoluteMargin = 1e-15;
// Beyond this the host's squares could overflow single precision.
constexpr double kLargest = 1e15;

inline DistanceRange range_of(double squared) {
    double distance = std::sqrt(squared);
    if (!(distance <= kLargest))
        return {};
    return {distance * (1.0 - kRelativeMargin) - kAbsoluteMargin,
            distance * (1.0 + kRelativeMargin) + kAbsoluteMargin, true};
}

}  // namespace distance_detail

inline DistanceRange horizontal_distance_range(float x1, float y1, float x2, float y2) {
    double dx = static_cast<double>(x1) - static_cast<double>(x2);
    double dy = static_cast<double>(y1) - static_cast<double>(y2);
    return distance_detail::range_of(dx * dx + dy * dy);
}

inline DistanceRange distance_range(host::Vec3 a, host::Vec3 b) {
    double dx = static_cast<double>(a.x) - static_cast<double>(b.x);
    double dy = static_cast<double>(a.y) - static_cast<double>(b.y);
    double dz = static_cast<double>(a.z) - static_cast<double>(b.z);
    return distance_detail::range_of(dx * dx + dy * dy + dz * dz);
}

// Whether the host's distance would be at most `limit` (false for no number),
// asking the host (`ask()`) only when the range straddles the limit.
template <typename Ask>
bool distance_at_most(const DistanceRange& range, float limit, Ask ask) {
    if (range.known && range.high <= static_cast<double>(limit))
        return true;
    if (range.known && range.low > static_cast<double>(limit))
        return false;
    return ask() <= limit;
}

// Whether the host's distance would lie in [nearest, farthest], ends included.
template <typename Ask>
bool distance_between(const DistanceRange& range, float nearest, float farthest, Ask ask) {
    auto low = static_cast<double>(nearest);
    auto high = static_cast<double>(farthest);
    if (range.known && (range.high < low || range.low > high))
        return false;
    if (range.known && range.low >= low && range.high <= high)
        return true;
    float distance = ask();
    return nearest <= distance && distance <= farthest;
}

// The lowest upper bound among the places a search may pick: no place whose
// host distance could reach it stays out of the search.
template <typename Range>
double nearest_bound(std::size_t count, Range range) {
    double bound = INFINITY;
    for (std::size_t i = 0; i < count; ++i) {
        DistanceRange r = range(i);
        if (r.known && r.high < bound)
            bound = r.high;
    }
    return bound;
}

// Whether a place with this range could be the nearest or tie with it.
inline bool may_be_nearest(const DistanceRange& range, double bound) {
    return !range.known || range.low <= bound;
}

}  // namespace corvalen
