#include "transit/point_grid.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/geometry.h"
#include "core/host_distance.h"

namespace corvalen {

void PointGrid::build(const std::vector<RoutePoint>& points) {
    PositionTable positions = take_positions();
    positions.reset(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        positions.claim(whole_metres(points[i].x), whole_metres(points[i].y), i);
    build(points, std::move(positions));
}

void PointGrid::build(const std::vector<RoutePoint>& points, PositionTable positions) {
    count = 0;
    first = nullptr;
    first_of_position = std::move(positions);
    grid.build(
        std::span<const RoutePoint>(points), [](double width, double height, std::size_t size) {
            double n = static_cast<double>(std::max<std::size_t>(size, 1));
            // About a point per cell over the area; a network along a
            // line gets a row of cells.
            return std::max({std::sqrt(width * height / n), std::max(width, height) / n, 1.0});
        });
    count = points.size();
    first = points.data();
}

PositionTable PointGrid::take_positions() {
    count = 0;
    first = nullptr;
    return std::move(first_of_position);
}

std::int32_t PointGrid::first_at(std::int32_t x, std::int32_t y) const {
    std::optional<std::size_t> first = first_of_position.find(x, y);
    return first ? static_cast<std::int32_t>(*first) : -1;
}

std::span<const std::int32_t> PointGrid::around(float x, float y, double half) const {
    if (count == 0 || !grid.usable(x, y) || !(half <= grid.limit()))
        return grid.every();
    half = std::max(half, 0.0);
    grid.clear_found();
    // A cell more on each side than the square touches: a point on a cell's
    // edge is in whichever cell its rounding put it.
    std::int32_t left = std::max(grid.column_of(x - half) - 1, 0);
    std::int32_t right = std::min(grid.column_of(x + half) + 1, grid.columns() - 1);
    std::int32_t bottom = std::max(grid.row_of(y - half) - 1, 0);
    std::int32_t top = std::min(grid.row_of(y + half) + 1, grid.rows() - 1);
    for (std::int32_t row = bottom; row <= top; ++row)
        grid.take_row(row, left, right);
    return grid.sorted_found();
}

std::span<const std::int32_t> PointGrid::nearest_candidates(
    float x, float y, const std::vector<RoutePoint>& points) const {
    if (count == 0 || !grid.usable(x, y))
        return grid.every();
    grid.clear_found();
    double bound = INFINITY;
    auto weigh = [&](std::int32_t index) {
        const RoutePoint& point = points[static_cast<std::size_t>(index)];
        DistanceRange range = horizontal_distance_range(x, y, point.x, point.y);
        if (range.known && range.high < bound)
            bound = range.high;
    };
    for (std::int32_t index : grid.off_grid())
        weigh(index);
    std::int32_t column = grid.column_of(x);
    std::int32_t row = grid.row_of(y);
    std::int32_t columns = grid.columns();
    std::int32_t rows = grid.rows();
    std::int32_t widest = std::max(columns, rows);
    for (std::int32_t ring = 0; ring <= widest; ++ring) {
        // Every point in this ring or beyond lies at least this far away (a
        // position off the grid's edge only farther); once even its lowest
        // possible host distance passes the bound, no such point can be the
        // nearest or tie with it.
        double reach = (ring - 1) * grid.cell() * (1.0 - 1e-6);
        if (ring >= 2 && reach * (1.0 - 2.0 * distance_detail::kRelativeMargin) > bound)
            break;
        std::size_t before = grid.found().size();
        for (std::int32_t r = row - ring; r <= row + ring; ++r) {
            if (r < 0 || r >= rows)
                continue;
            bool edge_row = r == row - ring || r == row + ring;
            for (std::int32_t c = column - ring; c <= column + ring;
                 c += edge_row || ring == 0 ? 1 : 2 * ring) {
                if (c >= 0 && c < columns)
                    grid.take_row(r, c, c);
            }
        }
        for (std::size_t i = before; i < grid.found().size(); ++i)
            weigh(grid.found()[i]);
    }
    return grid.sorted_found();
}

}  // namespace corvalen
