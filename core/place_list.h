#pragma once
// The places of a spot controller, with a uniform grid over their x and y so
// that a search near the player looks at the places near him instead of at
// every place on the map.
//
// The list is the grid's only keeper. Reading is free; a place can be changed
// only through `edit`, `edit_back` or `edit_all`, and the list notes which
// places were handed out that way, so that before its next answer the grid
// sees whether one of them moved. Adding and removing places makes it build
// afresh at the next search. A reference from `edit` is meant for the change
// at hand: one kept and used to move a place after a later search goes unseen.

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "core/cell_grid.h"
#include "core/place.h"

namespace corvalen {

class PlaceList {
  public:
    using const_iterator = std::vector<Place>::const_iterator;

    std::size_t size() const { return places_.size(); }
    bool empty() const { return places_.empty(); }
    const Place& operator[](std::size_t index) const { return places_[index]; }
    const Place& at(std::size_t index) const { return places_.at(index); }
    const Place& back() const { return places_.back(); }
    const_iterator begin() const { return places_.begin(); }
    const_iterator end() const { return places_.end(); }
    const std::vector<Place>& all() const { return places_; }

    Place& edit(std::size_t index);
    Place& edit_back() { return edit(places_.size() - 1); }
    std::span<Place> edit_all();

    void push_back(Place place);
    template <typename... Args>
    Place& emplace_back(Args&&... args) {
        stale_ = true;
        return places_.emplace_back(std::forward<Args>(args)...);
    }
    const_iterator erase(const_iterator at);
    void pop_back();
    void clear();

    // Every place whose square of half-width `half` could hold (x, y) by the
    // float test of `in_square`, and perhaps a few more, in index order. The
    // span lasts until the list is searched or changed again.
    std::span<const std::int32_t> around(float x, float y, std::int32_t half);

  private:
    static constexpr std::int32_t kNoneEdited = -1;
    static constexpr std::int32_t kAllEdited = -2;

    // A place's x and y as the grid filed them, bit for bit (a position with
    // no number still equals itself).
    struct Filed {
        std::uint32_t x;
        std::uint32_t y;
        bool operator==(const Filed&) const = default;
    };

    static Filed filed(const Place& place);
    void bring_up_to_date();
    void build();

    std::vector<Place> places_;
    bool stale_ = true;
    std::int32_t edited_ = kNoneEdited;

    std::vector<Filed> filed_;
    // Inside this limit a float square edge (place +- half-width) rounds by
    // less than a quarter metre, which the search's margin covers.
    CellGrid grid_{1e6};
};

}  // namespace corvalen
