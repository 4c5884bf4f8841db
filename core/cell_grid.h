#pragma once
// A uniform grid of cells over positions in the plane, filed by a counting
// sort so that each cell lists its positions in index order. Its owners keep
// their own rule for the first cell side and their own searches; the grid
// keeps what every search needs.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace corvalen {

class CellGrid {
  public:
    // Positions with a coordinate beyond `limit` (or none at all) stay off the grid.
    explicit CellGrid(double limit) : limit_(limit) {}

    // `first_side(width, height, count)` gives the first cell side; it doubles
    // until there are at most four cells a position (and sixteen more).
    template <typename Item, typename FirstSide>
    void build(std::span<const Item> items, FirstSide first_side) {
        begin(items.size());
        for (const Item& item : items)
            widen(item.x, item.y);
        lay_out(first_side(max_x_ - min_x_, max_y_ - min_y_, items.size()));
        for (const Item& item : items)
            count(item.x, item.y);
        settle();
        file();
    }

    bool usable(double x, double y) const;
    double limit() const { return limit_; }
    double cell() const { return cell_; }
    std::int32_t columns() const { return columns_; }
    std::int32_t rows() const { return rows_; }
    std::int32_t column_of(double x) const;
    std::int32_t row_of(double y) const;
    const std::vector<std::int32_t>& off_grid() const { return off_grid_; }
    const std::vector<std::int32_t>& every() const { return every_; }

    // One search's candidates: cleared, filled with cells, then closed by
    // `sorted_found`, which adds the positions off the grid.
    void clear_found() const { found_.clear(); }
    const std::vector<std::int32_t>& found() const { return found_; }
    // Appends the members of the cells `left` to `right` of `row`, which lie
    // one after another.
    void take_row(std::int32_t row, std::int32_t left, std::int32_t right) const {
        auto first = static_cast<std::size_t>(row * columns_ + left);
        auto end = static_cast<std::size_t>(row * columns_ + right) + 1;
        found_.insert(found_.end(), members_.begin() + cell_start_[first],
                      members_.begin() + cell_start_[end]);
    }
    std::span<const std::int32_t> sorted_found() const;

  private:
    void begin(std::size_t count);
    void widen(double x, double y);
    void lay_out(double first_side);
    // Notes the cell of the next position, to be filed there.
    void count(double x, double y);
    void settle();
    void file();
    std::size_t cell_of(double x, double y) const;

    double limit_;
    double min_x_ = 0.0;
    double min_y_ = 0.0;
    double max_x_ = 0.0;
    double max_y_ = 0.0;
    bool any_ = false;
    double cell_ = 1.0;
    std::int32_t columns_ = 0;
    std::int32_t rows_ = 0;
    std::vector<std::int32_t> cell_start_;  // columns * rows + 1 offsets into members_
    std::vector<std::int32_t> members_;     // indices, cell by cell, each cell in order
    std::vector<std::int32_t> fill_;        // while filing: the next free slot of each cell
    std::vector<std::int32_t> off_grid_;    // no number or too far out: always candidates
    std::vector<std::int32_t> every_;       // 0 .. count - 1, for a search off the grid
    // Room for one search's candidates, made at build so frames allocate
    // nothing; while building, the cell of each position (-1: off the grid).
    mutable std::vector<std::int32_t> found_;
};

}  // namespace corvalen
