#include "transit/point_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "core/geometry.h"
#include "core/host_distance.h"

namespace corvalen {
namespace {

// Positions beyond this stay off the grid: the distances between grid
// positions stay far inside the range the host's answers are bounded for.
constexpr double kGridLimit = 1e9;
// Cells per point at most, whatever the shape of the network.
constexpr std::size_t kCellsPerPoint = 4;

bool usable(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) <= kGridLimit &&
           std::fabs(y) <= kGridLimit;
}

}  // namespace

void PointGrid::build(const std::vector<RoutePoint>& points) {
    count = points.size();
    first = points.data();
    members.clear();
    off_grid.clear();
    every.resize(count);
    std::iota(every.begin(), every.end(), 0);
    found.clear();
    found.reserve(count);
    first_of_position = PositionTable(count);
    for (std::size_t i = 0; i < count; ++i)
        first_of_position.claim(whole_metres(points[i].x), whole_metres(points[i].y), i);

    double max_x = 0.0;
    double max_y = 0.0;
    bool any = false;
    for (const RoutePoint& point : points) {
        double x = point.x;
        double y = point.y;
        if (!usable(x, y))
            continue;
        min_x = any ? std::min(min_x, x) : x;
        min_y = any ? std::min(min_y, y) : y;
        max_x = any ? std::max(max_x, x) : x;
        max_y = any ? std::max(max_y, y) : y;
        any = true;
    }
    if (!any) {
        min_x = min_y = 0.0;
        max_x = max_y = 0.0;
    }
    double width = max_x - min_x;
    double height = max_y - min_y;
    double n = static_cast<double>(std::max<std::size_t>(count, 1));
    // About a point per cell over the area; a network along a line gets a
    // row of cells.
    cell = std::max({std::sqrt(width * height / n), std::max(width, height) / n, 1.0});
    std::size_t most_cells = kCellsPerPoint * count + 16;
    for (;;) {
        columns = static_cast<std::int32_t>(width / cell) + 1;
        rows = static_cast<std::int32_t>(height / cell) + 1;
        if (static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) <= most_cells)
            break;
        cell *= 2.0;
    }

    std::size_t cells = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    cell_start.assign(cells + 1, 0);
    for (const RoutePoint& point : points) {
        if (usable(point.x, point.y))
            ++cell_start[static_cast<std::size_t>(row_of(point.y) * columns + column_of(point.x)) +
                         1];
    }
    std::partial_sum(cell_start.begin(), cell_start.end(), cell_start.begin());
    members.resize(static_cast<std::size_t>(cell_start.back()));
    std::vector<std::int32_t> fill(cell_start.begin(), cell_start.end() - 1);
    for (std::size_t i = 0; i < count; ++i) {
        const RoutePoint& point = points[i];
        if (!usable(point.x, point.y)) {
            off_grid.push_back(static_cast<std::int32_t>(i));
            continue;
        }
        auto at = static_cast<std::size_t>(row_of(point.y) * columns + column_of(point.x));
        members[static_cast<std::size_t>(fill[at]++)] = static_cast<std::int32_t>(i);
    }
}

std::int32_t PointGrid::first_at(std::int32_t x, std::int32_t y) const {
    std::optional<std::size_t> first = first_of_position.find(x, y);
    return first ? static_cast<std::int32_t>(*first) : -1;
}

bool PointGrid::on_grid(double x, double y) const {
    return usable(x, y);
}

std::int32_t PointGrid::column_of(double x) const {
    // The floor of a non-negative quotient is its integer part.
    double c = (x - min_x) / cell;
    if (!(c >= 0.0))
        return 0;
    return c >= columns - 1 ? columns - 1 : integer_part(c);
}

std::int32_t PointGrid::row_of(double y) const {
    // The floor of a non-negative quotient is its integer part.
    double r = (y - min_y) / cell;
    if (!(r >= 0.0))
        return 0;
    return r >= rows - 1 ? rows - 1 : integer_part(r);
}

void PointGrid::take_cell(std::int32_t column, std::int32_t row) const {
    auto at = static_cast<std::size_t>(row * columns + column);
    found.insert(found.end(), members.begin() + cell_start[at],
                 members.begin() + cell_start[at + 1]);
}

std::span<const std::int32_t> PointGrid::sorted_found() const {
    found.insert(found.end(), off_grid.begin(), off_grid.end());
    std::sort(found.begin(), found.end());
    return found;
}

std::span<const std::int32_t> PointGrid::around(float x, float y, double half) const {
    if (count == 0 || !on_grid(x, y) || !(half <= kGridLimit))
        return every;
    half = std::max(half, 0.0);
    found.clear();
    // A cell more on each side than the square touches: a point on a cell's
    // edge is in whichever cell its rounding put it.
    std::int32_t left = std::max(column_of(x - half) - 1, 0);
    std::int32_t right = std::min(column_of(x + half) + 1, columns - 1);
    std::int32_t bottom = std::max(row_of(y - half) - 1, 0);
    std::int32_t top = std::min(row_of(y + half) + 1, rows - 1);
    for (std::int32_t row = bottom; row <= top; ++row)
        for (std::int32_t column = left; column <= right; ++column)
            take_cell(column, row);
    return sorted_found();
}

std::span<const std::int32_t> PointGrid::nearest_candidates(
    float x, float y, const std::vector<RoutePoint>& points) const {
    if (count == 0 || !on_grid(x, y))
        return every;
    found.clear();
    double bound = INFINITY;
    auto weigh = [&](std::int32_t index) {
        const RoutePoint& point = points[static_cast<std::size_t>(index)];
        DistanceRange range = horizontal_distance_range(x, y, point.x, point.y);
        if (range.known && range.high < bound)
            bound = range.high;
    };
    for (std::int32_t index : off_grid)
        weigh(index);
    std::int32_t column = column_of(x);
    std::int32_t row = row_of(y);
    std::int32_t widest = std::max(columns, rows);
    for (std::int32_t ring = 0; ring <= widest; ++ring) {
        // Every point in this ring or beyond lies at least this far away (a
        // position off the grid's edge only farther); once even its lowest
        // possible host distance passes the bound, no such point can be the
        // nearest or tie with it.
        double reach = (ring - 1) * cell * (1.0 - 1e-6);
        if (ring >= 2 && reach * (1.0 - 2.0 * distance_detail::kRelativeMargin) > bound)
            break;
        std::size_t before = found.size();
        for (std::int32_t r = row - ring; r <= row + ring; ++r) {
            if (r < 0 || r >= rows)
                continue;
            bool edge_row = r == row - ring || r == row + ring;
            for (std::int32_t c = column - ring; c <= column + ring;
                 c += edge_row || ring == 0 ? 1 : 2 * ring) {
                if (c >= 0 && c < columns)
                    take_cell(c, r);
            }
        }
        for (std::size_t i = before; i < found.size(); ++i)
            weigh(found[i]);
    }
    return sorted_found();
}

}  // namespace corvalen
