#include "core/place_list.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace corvalen {
namespace {

constexpr double kSearchMargin = 1.0;
// Cells no smaller than this: the searches' squares are 30 to 100 m wide on
// each side, and a dense cluster should not make them walk hundreds of cells.
constexpr double kSmallestCell = 32.0;

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
    filed_.resize(places_.size());
    for (std::size_t i = 0; i < places_.size(); ++i)
        filed_[i] = filed(places_[i]);
    grid_.build(std::span<const Place>(places_), [](double width, double height, std::size_t size) {
        double n = static_cast<double>(std::max<std::size_t>(size, 1));
        // About a place per cell over the area they cover.
        return std::max(std::sqrt(width * height / n), kSmallestCell);
    });
}

std::span<const std::int32_t> PlaceList::around(float x, float y, std::int32_t half) {
    bring_up_to_date();
    if (places_.empty())
        return {};
    if (!grid_.usable(x, y) || half > grid_.limit())
        return grid_.every();
    // A negative half-width holds nothing; the square of 0 is a superset.
    double reach = std::max(static_cast<double>(half), 0.0) + kSearchMargin;
    grid_.clear_found();
    // The columns and rows grow with x and y, so every place whose x and y
    // lie within `reach` of the search is in one of these cells.
    std::int32_t left = grid_.column_of(x - reach);
    std::int32_t right = grid_.column_of(x + reach);
    std::int32_t bottom = grid_.row_of(y - reach);
    std::int32_t top = grid_.row_of(y + reach);
    for (std::int32_t row = bottom; row <= top; ++row)
        grid_.take_row(row, left, right);
    return grid_.sorted_found();
}

}  // namespace corvalen
