#include "pictures/world_layer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

namespace pictures {
namespace {

constexpr Rgba kSea{70, 120, 170, 255};
constexpr Rgba kLand{196, 206, 176, 255};
constexpr Rgba kStreet{150, 150, 150, 255};
constexpr Rgba kStreetName{90, 90, 90, 255};
constexpr Rgba kVehicle{80, 90, 110, 255};
constexpr Rgba kPlayersVehicle{60, 70, 160, 255};
constexpr Rgba kWindscreen{190, 215, 235, 255};
constexpr Rgba kPerson{60, 40, 30, 255};
constexpr Rgba kDeadPerson{150, 150, 150, 255};
constexpr Rgba kPlayer{255, 255, 255, 255};
constexpr Rgba kOutline{20, 20, 20, 255};

constexpr float kStreetNameHeight = 13.0f;
constexpr float kPersonRadius = 0.5f;    // metres
constexpr float kSmallestPerson = 4.0f;  // pixels
constexpr float kPlayerArrow = 9.0f;     // pixels from the centre to the tip
constexpr float kBlipRadius = 6.0f;

struct Size {
    float length;
    float width;
};

// Sizes in metres by the model's name; any other model is an ordinary car.
Size size_of(std::string_view model) {
    struct Known {
        std::string_view name;
        Size size;
    };
    static constexpr Known kSizes[] = {
        {"Estate", {4.8f, 1.9f}},      {"Coupe", {4.4f, 1.8f}},  {"Van", {5.4f, 2.1f}},
        {"Bus", {12.0f, 2.6f}},        {"Ferry", {24.0f, 7.0f}}, {"Launch", {8.0f, 2.8f}},
        {"Water taxi", {10.0f, 3.2f}}, {"Ship", {60.0f, 12.0f}},
    };
    for (const Known& known : kSizes) {
        if (known.name == model)
            return known.size;
    }
    return {4.6f, 1.9f};
}

// Heading in degrees counter-clockwise from north: the way ahead in the
// picture, whose y grows southward.
Point ahead(float heading) {
    float radians = heading * std::numbers::pi_v<float> / 180.0f;
    return {-std::sin(radians), -std::cos(radians)};
}

// The corners of a box `length` x `width` pixels around `centre`, facing `way`.
std::vector<Point> box(Point centre, Point way, float length, float width) {
    Point side{-way.y, way.x};
    float l = length / 2.0f;
    float w = width / 2.0f;
    return {{centre.x + way.x * l + side.x * w, centre.y + way.y * l + side.y * w},
            {centre.x + way.x * l - side.x * w, centre.y + way.y * l - side.y * w},
            {centre.x - way.x * l - side.x * w, centre.y - way.y * l - side.y * w},
            {centre.x - way.x * l + side.x * w, centre.y - way.y * l + side.y * w}};
}

void draw_vehicle(Canvas& canvas, const View& view, const VehicleState& vehicle, bool players) {
    Size size = size_of(vehicle.model_name);
    // Small enough scales still show a vehicle as more than a dot.
    float length = std::max(view.pixels(size.length), 8.0f);
    float width = std::max(view.pixels(size.width), 4.0f);
    Point centre = view.to_picture(vehicle.x, vehicle.y);
    Point way = ahead(vehicle.heading);
    canvas.fill_polygon(box(centre, way, length + 2.0f, width + 2.0f), kOutline);
    canvas.fill_polygon(box(centre, way, length, width), players ? kPlayersVehicle : kVehicle);
    // The windscreen shows which way it faces.
    float front = length * 0.3f;
    Point screen{centre.x + way.x * front, centre.y + way.y * front};
    canvas.fill_polygon(box(screen, way, std::max(length * 0.12f, 1.5f), width * 0.8f),
                        kWindscreen);
}

void draw_player(Canvas& canvas, const View& view, const PlayerState& player) {
    Point at = view.to_picture(player.x, player.y);
    Point way = ahead(player.heading);
    Point side{-way.y, way.x};
    auto arrow = [&](float size) {
        return std::vector<Point>{{at.x + way.x * size, at.y + way.y * size},
                                  {at.x - way.x * size * 0.7f + side.x * size * 0.7f,
                                   at.y - way.y * size * 0.7f + side.y * size * 0.7f},
                                  {at.x - way.x * size * 0.3f, at.y - way.y * size * 0.3f},
                                  {at.x - way.x * size * 0.7f - side.x * size * 0.7f,
                                   at.y - way.y * size * 0.7f - side.y * size * 0.7f}};
    };
    // Not convex: drawn as two triangles either side of the spine.
    std::vector<Point> outer = arrow(kPlayerArrow + 2.0f);
    std::vector<Point> inner = arrow(kPlayerArrow);
    for (const std::vector<Point>* shape : {&outer, &inner}) {
        const std::vector<Point>& p = *shape;
        Rgba colour = shape == &outer ? kOutline : kPlayer;
        canvas.fill_polygon({p[0], p[1], p[2]}, colour);
        canvas.fill_polygon({p[0], p[2], p[3]}, colour);
    }
}

}  // namespace

Rgba blip_colour(std::int32_t colour) {
    static constexpr std::array<Rgba, 13> kPalette = {{
        {240, 240, 240, 255},  // 0 white
        {220, 50, 50, 255},    // 1 red
        {60, 180, 70, 255},    // 2 green
        {60, 110, 220, 255},   // 3 blue
        {240, 240, 240, 255},  // 4 white
        {240, 200, 40, 255},   // 5 yellow
        {230, 120, 160, 255},  // 6 pink
        {140, 90, 200, 255},   // 7 violet
        {240, 140, 40, 255},   // 8 orange
        {80, 200, 200, 255},   // 9 cyan
        {160, 110, 60, 255},   // 10 brown
        {255, 160, 60, 255},   // 11 light orange
        {120, 120, 120, 255},  // 12 grey
    }};
    if (colour < 0 || static_cast<std::size_t>(colour) >= kPalette.size())
        return kPalette[0];
    return kPalette[static_cast<std::size_t>(colour)];
}

void draw_ground(Canvas& canvas, const View& view, const Snapshot& snapshot, const Font& font) {
    canvas.fill_rectangle(0.0f, 0.0f, static_cast<float>(canvas.width()),
                          static_cast<float>(canvas.height()), kSea);
    if (snapshot.land) {
        Point north_west = view.to_picture(snapshot.land->west, snapshot.land->north);
        Point east = view.to_picture(snapshot.land->east, snapshot.land->north);
        canvas.fill_rectangle(north_west.x, north_west.y, east.x,
                              static_cast<float>(canvas.height()) + 1.0f, kLand);
    }
    for (const Street& street : snapshot.streets) {
        Point top_left = view.to_picture(street.area.min_x, street.area.max_y);
        Point bottom_right = view.to_picture(street.area.max_x, street.area.min_y);
        canvas.fill_rectangle(top_left.x, top_left.y, bottom_right.x, bottom_right.y, kStreet);
    }
    // Names go on top, where a street runs through the picture: near the
    // picture's middle along its length, so each shows once.
    for (const Street& street : snapshot.streets) {
        Point top_left = view.to_picture(street.area.min_x, street.area.max_y);
        Point bottom_right = view.to_picture(street.area.max_x, street.area.min_y);
        float left = std::max(top_left.x, 0.0f);
        float right = std::min(bottom_right.x, static_cast<float>(canvas.width()));
        float top = std::max(top_left.y, 0.0f);
        float bottom = std::min(bottom_right.y, static_cast<float>(canvas.height()));
        if (left >= right || top >= bottom)
            continue;
        float width = font.width(street.name, kStreetNameHeight, 1.0f);
        bool runs_east = bottom_right.x - top_left.x >= bottom_right.y - top_left.y;
        Point at = runs_east ? Point{(left + right) / 2.0f + 60.0f, top + 2.0f}
                             : Point{left + 2.0f, (top + bottom) / 2.0f + 60.0f};
        at.x = std::clamp(at.x, left, std::max(left, right - width));
        font.draw(canvas, at, kStreetNameHeight, 1.0f, street.name, kStreetName);
    }
}

void draw_people_and_vehicles(Canvas& canvas, const View& view, const Snapshot& snapshot) {
    for (const VehicleState& vehicle : snapshot.vehicles)
        draw_vehicle(canvas, view, vehicle, vehicle.handle == snapshot.player.vehicle);
    for (const CharacterState& person : snapshot.characters) {
        if (person.vehicle != 0)
            continue;  // seen as the vehicle
        float radius = std::max(view.pixels(kPersonRadius), kSmallestPerson);
        Point at = view.to_picture(person.x, person.y);
        canvas.fill_circle(at, radius + 1.0f, kPlayer);
        canvas.fill_circle(at, radius, person.dead ? kDeadPerson : kPerson);
    }
    draw_player(canvas, view, snapshot.player);
}

void draw_blips(Canvas& canvas, const View& view, const Snapshot& snapshot) {
    for (const BlipState& blip : snapshot.blips) {
        float scale = std::isfinite(blip.scale) ? std::clamp(blip.scale, 0.3f, 3.0f) : 1.0f;
        float radius = kBlipRadius * scale;
        Point at = view.to_picture(blip.x, blip.y);
        Rgba colour = blip_colour(blip.colour);
        colour.alpha = static_cast<std::uint8_t>(std::clamp(blip.alpha, 0, 255));
        std::vector<Point> diamond = {{at.x, at.y - radius - 1.5f},
                                      {at.x + radius + 1.5f, at.y},
                                      {at.x, at.y + radius + 1.5f},
                                      {at.x - radius - 1.5f, at.y}};
        canvas.fill_polygon(diamond, Rgba{20, 20, 20, colour.alpha});
        canvas.fill_polygon({{at.x, at.y - radius},
                             {at.x + radius, at.y},
                             {at.x, at.y + radius},
                             {at.x - radius, at.y}},
                            colour);
    }
}

}  // namespace pictures
