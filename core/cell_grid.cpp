#include "core/cell_grid.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/geometry.h"

namespace corvalen {
namespace {

constexpr std::size_t kCellsPerPosition = 4;

}  // namespace

bool CellGrid::usable(double x, double y) const {
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) <= limit_ && std::fabs(y) <= limit_;
}

void CellGrid::begin(std::size_t count) {
    every_.resize(count);
    std::iota(every_.begin(), every_.end(), 0);
    found_.clear();
    found_.reserve(count);
    off_grid_.clear();
    min_x_ = min_y_ = max_x_ = max_y_ = 0.0;
    any_ = false;
}

void CellGrid::widen(double x, double y) {
    if (!usable(x, y))
        return;
    min_x_ = any_ ? std::min(min_x_, x) : x;
    min_y_ = any_ ? std::min(min_y_, y) : y;
    max_x_ = any_ ? std::max(max_x_, x) : x;
    max_y_ = any_ ? std::max(max_y_, y) : y;
    any_ = true;
}

void CellGrid::lay_out(double first_side) {
    double width = max_x_ - min_x_;
    double height = max_y_ - min_y_;
    cell_ = first_side;
    std::size_t most_cells = kCellsPerPosition * every_.size() + 16;
    for (;;) {
        columns_ = static_cast<std::int32_t>(width / cell_) + 1;
        rows_ = static_cast<std::int32_t>(height / cell_) + 1;
        if (static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_) <= most_cells)
            break;
        cell_ *= 2.0;
    }
    std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    cell_start_.assign(cells + 1, 0);
}

std::size_t CellGrid::cell_of(double x, double y) const {
    return static_cast<std::size_t>(row_of(y) * columns_ + column_of(x));
}

void CellGrid::count(double x, double y) {
    // Each position's cell is worked out once: a division on each axis is
    // most of the cost of filing a position.
    std::int32_t cell = usable(x, y) ? static_cast<std::int32_t>(cell_of(x, y)) : -1;
    found_.push_back(cell);
    if (cell >= 0)
        ++cell_start_[static_cast<std::size_t>(cell) + 1];
}

void CellGrid::settle() {
    std::partial_sum(cell_start_.begin(), cell_start_.end(), cell_start_.begin());
    members_.resize(static_cast<std::size_t>(cell_start_.back()));
    fill_.assign(cell_start_.begin(), cell_start_.end() - 1);
}

void CellGrid::file() {
    for (std::size_t i = 0; i < found_.size(); ++i) {
        std::int32_t cell = found_[i];
        if (cell >= 0)
            members_[static_cast<std::size_t>(fill_[static_cast<std::size_t>(cell)]++)] =
                static_cast<std::int32_t>(i);
        else
            off_grid_.push_back(static_cast<std::int32_t>(i));
    }
    found_.clear();
}

std::int32_t CellGrid::column_of(double x) const {
    // The floor of a non-negative quotient is its integer part.
    double c = (x - min_x_) / cell_;
    if (!(c >= 0.0))
        return 0;
    return c >= columns_ - 1 ? columns_ - 1 : integer_part(c);
}

std::int32_t CellGrid::row_of(double y) const {
    // The floor of a non-negative quotient is its integer part.
    double r = (y - min_y_) / cell_;
    if (!(r >= 0.0))
        return 0;
    return r >= rows_ - 1 ? rows_ - 1 : integer_part(r);
}

std::span<const std::int32_t> CellGrid::sorted_found() const {
    found_.insert(found_.end(), off_grid_.begin(), off_grid_.end());
    std::sort(found_.begin(), found_.end());
    return found_;
}

}  // namespace corvalen
