// Buying and selling houses through the agent, and what Enter does at each
// kind of property.

#include <algorithm>

#include "realestate/ro_viri_variru_roza.h"

namespace corvalen {
namespace {

void pay(std::int32_t amount) {
    host::add_cash(static_cast<host::Handle>(host::player_index()), amount);
}

float player_cash() {
    return host::stat_float(host::Stat::Cash);
}

}  // namespace

void ROViriVariruRoza::on_activate(Place& place) {
    switch (place.kind) {
        case kHotel:
            hotel_stay(place);
            break;
        case kEstateOffice:
            set_selling_mode(!selling_mode);
            break;
        case kHouse:
            if (selling_mode) {
                if (is_owned(place)) {
                    sell_property(place);
                } else {
                    buy_property(place);
                }
            } else if (is_owned(place)) {
                rest_at(place);
            }
            break;
        default:
            break;
    }
}

void ROViriVariruRoza::buy_property(Place& place) {
    if (is_owned(place) || player_cash() < static_cast<float>(place.user_value))
        return;
    auto value = static_cast<std::int32_t>(place.user_value);
    pay(-value);
    place.user_flag = 1;
    auto garage_entry = house_garages.find(place.label);
    if (garage_entry != house_garages.end())
        garage.add_spot(garage_entry->second.spot);
    refresh_blip(place, true);
    dismiss_agent(value);
    set_selling_mode(false);
}

void ROViriVariruRoza::sell_property(Place& place) {
    auto value = static_cast<std::int32_t>(place.user_value);
    pay(value);
    place.user_flag = 0;
    // The garage is no longer the player's to leave cars in; cars kept there
    // stay kept until the player drives them off.
    withdraw_garage(place);
    refresh_blip(place, true);
    dismiss_agent(value);
    set_selling_mode(false);
}

void ROViriVariruRoza::set_selling_mode(bool on) {
    selling_mode = on && !selling_mode;
    for (Place& property : places.edit_all()) {
        if (property.kind != kHouse || is_owned(property))
            continue;
        property.enabled = selling_mode;
        refresh_blip(property, true);
    }
    if (selling_mode) {
        spawn_agent();
    } else if (agent.present()) {
        dismiss_agent(0);
    }
}

void ROViriVariruRoza::spawn_agent() {
    agent.spawn(dice);
}

void ROViriVariruRoza::dismiss_agent(std::int32_t amount) {
    agent.dismiss(amount);
}

void ROViriVariruRoza::watch_agent() {
    if (selling_mode && agent.lost())
        set_selling_mode(false);
}

}  // namespace corvalen
