// What a player sees of the properties: their blips, the prompt and the
// information panel at a property, and a house garage shown on request.

#include <cmath>

#include "core/game_timer.h"
#include "core/screen_text.h"
#include "core/text_number.h"
#include "host/host_game.h"
#include "realestate/property_panel.h"
#include "realestate/ro_viri_variru_roza.h"

namespace corvalen {
namespace {

constexpr std::int32_t kPropertySprite = 29;
constexpr std::int32_t kOtherColour = 7;
constexpr std::int32_t kUnownedHouseColour = 14;
constexpr std::int32_t kOwnedHouseColour = 0;
constexpr std::int32_t kHotelColour = 10;
constexpr std::int32_t kOfficeColour = 3;
constexpr std::int32_t kFaintAlpha = 200;
constexpr std::int32_t kFullAlpha = 255;
constexpr float kSmallBlip = 0.5f;

constexpr float kPanelScale = 0.3f;
constexpr float kPanelLeft = 0.75f;
constexpr float kBrokerLeft = 0.74f;
constexpr std::int32_t kPanelSearchHalfWidth = 50;
constexpr float kPi = 3.14f;  // as the area has always been reckoned

}  // namespace

void ROViriVariruRoza::style_blip(Place& place) {
    place.blip_alpha = kFaintAlpha;
    place.short_range = true;
    place.blip_colour = kOtherColour;
    switch (place.kind) {
        case kHouse:
            place.blip_name = "Safehouse";
            if (is_owned(place)) {
                place.blip_colour = kOwnedHouseColour;
                place.blip_alpha = kFullAlpha;
                place.short_range = false;
            } else {
                place.blip_colour = kUnownedHouseColour;
            }
            break;
        case kHotel:
            place.blip_name = "Hotel";
            place.blip_colour = kHotelColour;
            place.blip_scale = kSmallBlip;
            place.blip_sprite = hotel_blips ? kPropertySprite : -1;
            break;
        case kEstateOffice:
            place.blip_name = "Real State Agent";
            place.blip_colour = kOfficeColour;
            place.blip_scale = kSmallBlip;
            place.blip_sprite = kPropertySprite;
            break;
        default:
            break;
    }
}

std::string prompt_text(const Place& place, bool selling_mode) {
    std::string text = "Press [ENTER] to ";
    std::string value = std::to_string(place.user_value);
    switch (place.kind) {
        case kHouse:
            if (!is_owned(place))
                return text + "buy this property for $" + value;
            if (selling_mode)
                return text + "sell this property for $" + value;
            return text + "save the game";
        case kHotel:
            return text + "stay in this hotel for $" + value;
        case kEstateOffice:
            return text + (selling_mode ? "dismiss the real estate agent" : "shop for properties");
        default:
            return text;
    }
}

std::string parking_area(std::int32_t radius) {
    double area = static_cast<double>(radius) * radius * static_cast<double>(kPi);
    return fixed_decimals(std::trunc(area), 0);
}

void ROViriVariruRoza::on_prompt(Place& place) {
    host::show_text(0.1f, 0.1f, prompt_text(place, selling_mode));
    draw_panel();
}

void ROViriVariruRoza::draw_panel() {
    std::int32_t index = find_nearest(true, kPanelSearchHalfWidth);
    if (index < 0)
        return;
    // A copy: the garage map below may grow.
    Place property = places[static_cast<std::size_t>(index)];
    host::draw_rectangle(0.82f, 0.855f, 0.18f, 0.22f, {0, 0, 0, 64});

    if (property.kind != kHouse && property.kind != kHotel) {
        draw_text("Take the broker to", kBrokerLeft, 0.79f, kPanelScale);
        draw_text("the property you", kBrokerLeft, 0.82f, kPanelScale);
        draw_text("want to buy.", kBrokerLeft, 0.85f, kPanelScale);
        return;
    }
    draw_text(property.kind == kHouse ? "Property" : "Hotel", kPanelLeft, 0.76f, kPanelScale);
    draw_text(host::street_name_at(property.position()), kPanelLeft, 0.79f, kPanelScale);
    draw_text("$ " + std::to_string(property.user_value), kPanelLeft, 0.82f, kPanelScale);

    const GarageSpot spot = house_garage(property);
    float for_sale_line = 0.88f;
    if (spot.radius < 1) {
        draw_text("No parking", kPanelLeft, 0.85f, kPanelScale);
    } else {
        draw_text("Parking:", kPanelLeft, 0.85f, kPanelScale);
        draw_text("  area: " + parking_area(spot.radius) + " m2", kPanelLeft, 0.88f, kPanelScale);
        draw_text("  radius: " + std::to_string(spot.radius) + " m", kPanelLeft, 0.91f,
                  kPanelScale);
        draw_text("  Press 'G' to show", kPanelLeft, 0.94f, kPanelScale);
        for_sale_line = 0.97f;
        if (host::key_pressed(host::ScanCode::G)) {
            garage_highlight.spot = spot;
            garage_highlight.deadline = host::game_timer() + kGarageHighlightMs;
        }
    }
    if (property.kind == kHouse && !is_owned(property))
        draw_text("FOR SALE", kPanelLeft, for_sale_line, kPanelScale);
}

void ROViriVariruRoza::draw_garage_highlight() const {
    if (garage_highlight.deadline == 0 || reached(host::game_timer(), garage_highlight.deadline))
        return;
    const GarageSpot& spot = garage_highlight.spot;
    host::draw_circle({spot.x, spot.y, spot.z - 1.0f}, 2.0f * static_cast<float>(spot.radius), 0,
                      64, 0);
    host::draw_ground_marker({spot.x, spot.y, spot.z}, 64, 64, 64);
}

}  // namespace corvalen
