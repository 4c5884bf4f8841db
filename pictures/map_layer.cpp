#include "pictures/map_layer.h"

#include <cmath>
#include <map>
#include <numbers>
#include <utility>

#include "autoservice/station_file.h"
#include "core/geometry.h"
#include "realestate/property.h"
#include "transit/point_colour.h"

namespace pictures {
namespace {

using corvalen::ServiceMode;

constexpr float kPointRadius = 5.0f;  // pixels, whatever the scale
constexpr float kBadge = 16.0f;
constexpr float kBadgeText = 13.0f;
constexpr float kArrowLength = 9.0f;
constexpr float kArrowWidth = 7.0f;
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kOutline{40, 40, 40, 255};

constexpr Rgba kLotColour{30, 80, 200, 255};
constexpr Rgba kGasColour{20, 140, 60, 255};
constexpr Rgba kRepairColour{220, 110, 0, 255};
constexpr Rgba kOtherStationColour{110, 110, 110, 255};
constexpr Rgba kHotelColour{130, 50, 160, 255};
constexpr Rgba kOfficeColour{0, 130, 130, 255};
constexpr Rgba kOwnedHouse{235, 180, 30, 255};
constexpr Rgba kHouseForSale{255, 255, 255, 255};
constexpr Rgba kGarageColour{140, 90, 40, 255};

Rgba with_alpha(Rgba colour, std::uint8_t alpha) {
    colour.alpha = alpha;
    return colour;
}

Rgba link_colour(ServiceMode mode) {
    switch (mode) {
        case ServiceMode::Boat:
            return {30, 130, 200, 255};
        case ServiceMode::Ship:
            return {20, 50, 150, 255};
        case ServiceMode::Bus:
            break;
    }
    return {170, 60, 40, 255};
}

const char* network_name(ServiceMode mode) {
    switch (mode) {
        case ServiceMode::Boat:
            return "boat link";
        case ServiceMode::Ship:
            return "ship link";
        case ServiceMode::Bus:
            break;
    }
    return "bus link";
}

void route_point(Canvas& canvas, Point at, const corvalen::RoutePoint& point) {
    corvalen::host::Rgba colour = corvalen::inspector_colour(point);
    canvas.fill_circle(at, kPointRadius, game_colour(colour.red, colour.green, colour.blue, 255));
    canvas.ring(at, kPointRadius, 1.5f, kWhite);
}

// A link from one point to the next, its arrow stopping at the target's rim.
void link(Canvas& canvas, Point from, Point to, Rgba colour) {
    float dx = to.x - from.x;
    float dy = to.y - from.y;
    float length = std::hypot(dx, dy);
    if (length < 2.0f * kPointRadius + kArrowLength)
        return;
    float ux = dx / length;
    float uy = dy / length;
    Point tip{to.x - ux * (kPointRadius + 1.0f), to.y - uy * (kPointRadius + 1.0f)};
    Point base{tip.x - ux * kArrowLength, tip.y - uy * kArrowLength};
    canvas.line(from, base, 2.0f, colour);
    canvas.fill_polygon({tip,
                         {base.x - uy * kArrowWidth / 2.0f, base.y + ux * kArrowWidth / 2.0f},
                         {base.x + uy * kArrowWidth / 2.0f, base.y - ux * kArrowWidth / 2.0f}},
                        colour);
}

// A square with a letter, for spots that are one of a kind.
void badge(Canvas& canvas, const Font& font, Point at, Rgba colour, const char* letter) {
    float half = kBadge / 2.0f;
    canvas.fill_rectangle(at.x - half - 1.0f, at.y - half - 1.0f, at.x + half + 1.0f,
                          at.y + half + 1.0f, kWhite);
    canvas.fill_rectangle(at.x - half, at.y - half, at.x + half, at.y + half, colour);
    float width = font.width(letter, kBadgeText, 1.0f);
    font.draw(canvas, {at.x - width / 2.0f, at.y - kBadgeText / 2.0f - 1.0f}, kBadgeText, 1.0f,
              letter, kWhite);
}

void house(Canvas& canvas, Point at, Rgba fill) {
    constexpr float kHalf = 7.0f;
    std::vector<Point> outline = {{at.x - kHalf, at.y + kHalf},
                                  {at.x + kHalf, at.y + kHalf},
                                  {at.x + kHalf, at.y - 1.0f},
                                  {at.x, at.y - kHalf - 3.0f},
                                  {at.x - kHalf, at.y - 1.0f}};
    std::vector<Point> inner;
    inner.reserve(outline.size());
    for (const Point& corner : outline)
        inner.push_back({at.x + (corner.x - at.x) * 0.75f, at.y + (corner.y - at.y) * 0.75f});
    canvas.fill_polygon(outline, kOutline);
    canvas.fill_polygon(inner, fill);
}

// The reach of a spot: a faint disc inside a ring.
void reach(Canvas& canvas, Point at, float radius, Rgba colour) {
    canvas.fill_circle(at, radius, with_alpha(colour, 40));
    canvas.ring(at, radius, 1.5f, with_alpha(colour, 200));
}

void dashed_ring(Canvas& canvas, Point at, float radius, Rgba colour) {
    constexpr int kDashes = 24;
    for (int i = 0; i < kDashes; i += 1) {
        float from = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / kDashes;
        float to = from + std::numbers::pi_v<float> / kDashes;
        canvas.line({at.x + radius * std::cos(from), at.y + radius * std::sin(from)},
                    {at.x + radius * std::cos(to), at.y + radius * std::sin(to)}, 2.0f, colour);
    }
}

struct StationLook {
    Rgba colour;
    const char* letter;
};

StationLook station_look(std::int32_t kind) {
    if (kind == corvalen::kGasStation)
        return {kGasColour, "G"};
    if (kind == corvalen::kRepairShop)
        return {kRepairColour, "R"};
    return {kOtherStationColour, "S"};
}

void property_symbol(Canvas& canvas, const Font& font, Point at, const corvalen::Place& property) {
    switch (property.kind) {
        case corvalen::kHouse:
            house(canvas, at, corvalen::is_owned(property) ? kOwnedHouse : kHouseForSale);
            break;
        case corvalen::kHotel:
            badge(canvas, font, at, kHotelColour, "H");
            break;
        case corvalen::kEstateOffice:
            badge(canvas, font, at, kOfficeColour, "A");
            break;
        default:
            badge(canvas, font, at, kOtherStationColour, "?");
            break;
    }
}

void draw_networks(Canvas& canvas, const View& view, const MapData& map) {
    for (const Network& network : map.networks) {
        const std::vector<corvalen::RoutePoint>& points = network.points;
        // A link leads to the first point at its truncated position, as the
        // plug-in follows it.
        std::map<std::pair<std::int32_t, std::int32_t>, std::size_t> first_at;
        for (std::size_t i = 0; i < points.size(); ++i)
            first_at.emplace(
                std::pair{corvalen::whole_metres(points[i].x), corvalen::whole_metres(points[i].y)},
                i);
        for (const corvalen::RoutePoint& point : points) {
            if (point.link_x == 0 && point.link_y == 0)
                continue;
            auto target = first_at.find({point.link_x, point.link_y});
            if (target == first_at.end())
                continue;
            const corvalen::RoutePoint& to = points[target->second];
            link(canvas, view.to_picture(point.x, point.y), view.to_picture(to.x, to.y),
                 link_colour(network.mode));
        }
    }
    for (const Network& network : map.networks) {
        for (const corvalen::RoutePoint& point : network.points)
            route_point(canvas, view.to_picture(point.x, point.y), point);
    }
}

}  // namespace

void draw_map(Canvas& canvas, const View& view, const MapData& map, const Font& font) {
    for (const corvalen::GarageSpot& lot : map.lots)
        reach(canvas, view.to_picture(lot.x, lot.y), view.pixels(static_cast<float>(lot.radius)),
              kLotColour);
    for (const corvalen::Place& station : map.stations)
        reach(canvas, view.to_picture(station.x, station.y),
              view.pixels(static_cast<float>(station.radius)), station_look(station.kind).colour);
    for (const corvalen::PropertyRecord& record : map.properties) {
        const corvalen::GarageSpot& garage = record.garage;
        if (garage.radius > 0)
            dashed_ring(canvas, view.to_picture(garage.x, garage.y),
                        view.pixels(static_cast<float>(garage.radius)), kGarageColour);
    }
    draw_networks(canvas, view, map);
    for (const corvalen::GarageSpot& lot : map.lots)
        badge(canvas, font, view.to_picture(lot.x, lot.y), kLotColour, "P");
    for (const corvalen::Place& station : map.stations) {
        StationLook look = station_look(station.kind);
        badge(canvas, font, view.to_picture(station.x, station.y), look.colour, look.letter);
    }
    for (const corvalen::PropertyRecord& record : map.properties) {
        const corvalen::Place& property = record.property;
        property_symbol(canvas, font, view.to_picture(property.x, property.y), property);
    }
}

std::vector<LegendEntry> map_legend() {
    auto point_of_type = [](std::int32_t type, bool linked, bool backwards) {
        corvalen::RoutePoint point;
        point.type = type;
        point.link_x = linked ? 1 : 0;
        point.link_y = linked ? 1 : 0;
        point.backwards = backwards;
        return [point](Canvas& canvas, const Font&, Point at) { route_point(canvas, at, point); };
    };
    auto badge_of = [](Rgba colour, const char* letter) {
        return [colour, letter](Canvas& canvas, const Font& font, Point at) {
            badge(canvas, font, at, colour, letter);
        };
    };
    auto house_of = [](Rgba fill) {
        return [fill](Canvas& canvas, const Font&, Point at) { house(canvas, at, fill); };
    };
    std::vector<LegendEntry> entries = {
        {"bus stop with a link", point_of_type(0, true, false)},
        {"bus stop, no link", point_of_type(0, false, false)},
        {"bus stop, no link, backwards", point_of_type(0, false, true)},
        {"spawn spot", point_of_type(1, false, false)},
        {"way point", point_of_type(2, false, false)},
        {"capture point", point_of_type(3, false, false)},
        {"point of type 4", point_of_type(4, false, false)},
    };
    for (ServiceMode mode : {ServiceMode::Bus, ServiceMode::Boat, ServiceMode::Ship}) {
        entries.push_back({network_name(mode), [mode](Canvas& canvas, const Font&, Point at) {
                               link(canvas, {at.x - 13.0f, at.y},
                                    {at.x + 13.0f + kPointRadius, at.y}, link_colour(mode));
                           }});
    }
    entries.push_back({"gas station", badge_of(kGasColour, "G")});
    entries.push_back({"repair shop", badge_of(kRepairColour, "R")});
    entries.push_back({"pay car park", badge_of(kLotColour, "P")});
    entries.push_back({"house for sale", house_of(kHouseForSale)});
    entries.push_back({"owned house", house_of(kOwnedHouse)});
    entries.push_back({"hotel", badge_of(kHotelColour, "H")});
    entries.push_back({"estate agent", badge_of(kOfficeColour, "A")});
    entries.push_back({"house garage", [](Canvas& canvas, const Font&, Point at) {
                           dashed_ring(canvas, at, 8.0f, kGarageColour);
                       }});
    return entries;
}

}  // namespace pictures
