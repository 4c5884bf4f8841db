#include "core/place_list.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

#include "core/geometry.h"

namespace corvalen {
namespace {

// Places and searches beyond this stay off the grid. Inside it a float
// square edge (place +- half-width) rounds by less than a quarter metre,
// which the search's margin covers.
constexpr double kGridLimit = 1e6;
constexpr double kSearchMargin = 1.0;
// Cells no smaller than this: the searches' squares are 30 to 100 m wide on
// each side, and a dense cluster should not make them walk hundreds of cells.
constexpr double kSmallestCell = 32.0;
constexpr std::size_t kCellsPerPlace = 4;

bool usable(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) <= kGridLimit &&
           std::fabs(y) <= kGridLimit;
}

}  // namespace

PlaceList::Filed PlaceList::filed(const Place& place) {
    return {std::bit_cast<std::uint32_t>(place.x), std::bit_cast<std::uint32_t>(place.y)};
}

Place& PlaceList::edit(std::size_t index) {
    auto at = static_cast<std::int32_t>(index);
    if (edited_ == kNoneEdited) {
        edited_ = at;
    } else if (edited_ != at) {
        edited_ = kAllEdited;
    }
    return places_[index];
}

std::span<Place> PlaceList::edit_all() {
    edited_ = kAllEdited;
    return places_;
}

void PlaceList::push_back(Place place) {
    stale_ = true;
    places_.push_back(std::move(place));
}

PlaceList::const_iterator PlaceList::erase(const_iterator at) {
    stale_ = true;
    return places_.erase(at);
}

void PlaceList::pop_back() {
    stale_ = true;
    places_.pop_back();
}

void PlaceList::clear() {
    stale_ = true;
    places_.clear();
}

void PlaceList::bring_up_to_date() {
    if (!stale_ && edited_ == kAllEdited) {
        for (std::size_t i = 0; i < places_.size() && !stale_; ++i)
            stale_ = filed(places_[i]) != filed_[i];
    } else if (!stale_ && edited_ >= 0) {
        auto i = static_cast<std::size_t>(edited_);
        stale_ = filed(places_[i]) != filed_[i];
    }
    edited_ = kNoneEdited;
    if (stale_)
        build();
    stale_ = false;
}

void PlaceList::build() {
    std::size_t count = places_.size();
    filed_.resize(count);
    every_.resize(count);
    std::iota(every_.begin(), every_.end(), 0);
    found_.clear();
    found_.reserve(count);
    off_grid_.clear();

    double max_x = 0.0;
    double max_y = 0.0;
    bool any = false;
    for (std::size_t i = 0; i < count; ++i) {
        const Place& place = places_[i];
        filed_[i] = filed(place);
        double x = place.x;
        double y = place.y;
        if (!usable(x, y))
            continue;
        min_x_ = any ? std::min(min_x_, x) : x;
        min_y_ = any ? std::min(min_y_, y) : y;
        max_x = any ? std::max(max_x, x) : x;
        max_y = any ? std::max(max_y, y) : y;
        any = true;
    }
    if (!any)
        min_x_ = min_y_ = 0.0;
    double width = max_x - min_x_;
    double height = max_y - min_y_;
    double n = static_cast<double>(std::max<std::size_t>(count, 1));
    // About a place per cell over the area they cover.
    cell_ = std::max(std::sqrt(width * height / n), kSmallestCell);
    std::size_t most_cells = kCellsPerPlace * count + 16;
    for (;;) {
        columns_ = static_cast<std::int32_t>(width / cell_) + 1;
        rows_ = static_cast<std::int32_t>(height / cell_) + 1;
        if (static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_) <= most_cells)
            break;
        cell_ *= 2.0;
    }

    std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    cell_start_.assign(cells + 1, 0);
    auto cell_of = [&](const Place& place) {
        return static_cast<std::size_t>(row_of(place.y) * columns_ + column_of(place.x));
    };
    for (const Place& place : places_) {
        if (usable(place.x, place.y))
            ++cell_start_[cell_of(place) + 1];
    }
    std::partial_sum(cell_start_.begin(), cell_start_.end(), cell_start_.begin());
    members_.resize(static_cast<std::size_t>(cell_start_.back()));
    std::vector<std::int32_t> fill(cell_start_.begin(), cell_start_.end() - 1);
    for (std::size_t i = 0; i < count; ++i) {
        const Place& place = places_[i];
        if (usable(place.x, place.y)) {
            members_[static_cast<std::size_t>(fill[cell_of(place)]++)] =
                static_cast<std::int32_t>(i);
        } else {
            off_grid_.push_back(static_cast<std::int32_t>(i));
        }
    }
}

std::int32_t PlaceList::column_of(double x) const {
    // The floor of a non-negative quotient is its integer part.
    double c = (x - min_x_) / cell_;
    if (!(c >= 0.0))
        return 0;
    return c >= columns_ - 1 ? columns_ - 1 : integer_part(c);
}

std::int32_t PlaceList::row_of(double y) const {
    // The floor of a non-negative quotient is its integer part.
    double r = (y - min_y_) / cell_;
    if (!(r >= 0.0))
        return 0;
    return r >= rows_ - 1 ? rows_ - 1 : integer_part(r);
}

std::span<const std::int32_t> PlaceList::around(float x, float y, std::int32_t half) {
    bring_up_to_date();
    if (places_.empty())
        return {};
    if (!usable(x, y) || half > kGridLimit)
        return every_;
    // A negative half-width holds nothing; the square of 0 is a superset.
    double reach = std::max(static_cast<double>(half), 0.0) + kSearchMargin;
    found_.clear();
    // The columns and rows grow with x and y, so every place whose x and y
    // lie within `reach` of the search is in one of these cells.
    std::int32_t left = column_of(x - reach);
    std::int32_t right = column_of(x + reach);
    std::int32_t bottom = row_of(y - reach);
    std::int32_t top = row_of(y + reach);
    for (std::int32_t row = bottom; row <= top; ++row) {
        auto first = static_cast<std::size_t>(row * columns_ + left);
        auto last = static_cast<std::size_t>(row * columns_ + right) + 1;
        found_.insert(found_.end(), members_.begin() + cell_start_[first],
                      members_.begin() + cell_start_[last]);
    }
    found_.insert(found_.end(), off_grid_.begin(), off_grid_.end());
    std::sort(found_.begin(), found_.end());
    return found_;
}

}  // namespace corvalen
