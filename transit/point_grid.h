#pragma once
// A uniform grid over a network's points, so that the searches a frame makes
// look at the points near the player instead of at every point. Its answers
// are candidate lists in index order: the searches run over them exactly as
// over every point, and reach the same choice, ties included.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/cell_grid.h"
#include "transit/position_table.h"
#include "transit/route_point.h"

namespace corvalen {

class PointGrid {
  public:
    // Made when the points change (load, add, delete), never in a frame.
    void build(const std::vector<RoutePoint>& points);
    // The same over points whose reader noted the first point at each
    // whole-metre position in `positions` as they were taken, in a table
    // that take_positions gave, so that a load fills no table twice.
    void build(const std::vector<RoutePoint>& points, PositionTable positions);
    // The table of first points with its room, for the next build; the grid
    // covers no points until then.
    PositionTable take_positions();
    // Whether the grid was built over these very points (a vector assigned
    // or resized since is not).
    bool covers(const std::vector<RoutePoint>& points) const {
        return points.size() == count && points.data() == first;
    }

    // Every point within `half` of (x, y) on both axes, and perhaps a few
    // more, in index order.
    std::span<const std::int32_t> around(float x, float y, double half) const;
    // Every point that could be the nearest to (x, y) or tie with it, by the
    // host's single-precision distance, in index order.
    std::span<const std::int32_t> nearest_candidates(float x, float y,
                                                     const std::vector<RoutePoint>& points) const;

    // The first point whose position truncated to whole metres is (x, y);
    // -1 when none.
    std::int32_t first_at(std::int32_t x, std::int32_t y) const;

  private:
    std::size_t count = 0;
    const RoutePoint* first = nullptr;
    // Beyond this the distances between grid positions would leave the range
    // the host's answers are bounded for.
    CellGrid grid{1e9};
    PositionTable first_of_position;  // whole metres: the first point there
};

}  // namespace corvalen
