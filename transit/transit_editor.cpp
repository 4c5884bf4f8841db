// The editor of a service's network: its menu places points at the player
// with the player's heading, connects them (walk to the next point and press
// Y), marks, deletes, spawns, loads and saves; the inspector shows the point
// nearest to the player, its connection and the size of the fleet.

#include <optional>
#include <string>

#include "core/geometry.h"
#include "core/player.h"
#include "core/position_capture.h"
#include "core/screen_text.h"
#include "transit/point_colour.h"
#include "transit/transit_service.h"

namespace corvalen {
namespace {

using host::ScanCode;

// The inspector: a small marker at the point in the colour of its kind, a
// large green one at the point it connects to, and the link blip's colour.
constexpr float kPointMarker = 0.5f;
constexpr float kTargetMarker = 5.0f;
constexpr std::int32_t kLinkBlipColour = 5;
constexpr float kDataScale = 0.3f;
constexpr float kLabelX = 0.7f;

void draw_number(std::int32_t number, float x, float y) {
    draw_text(std::to_string(number), x, y, kDataScale);
}

}  // namespace

void TransitService::build_editor_menu() {
    editor_menu.add_item("Add Bus Stop", kAddBusStop);
    editor_menu.add_item("Add Spawn Spot", kAddSpawnSpot);
    editor_menu.add_item("Add way point", kAddWayPoint);
    editor_menu.add_item("Add capture point", kAddCapturePoint);
    editor_menu.add_item("Make connection", kMakeConnection);
    editor_menu.add_item("Mark backwards", kMarkBackwards);
    editor_menu.add_item("Delete Bus Stop", kDeletePoint);
    editor_menu.add_item("Spawn Bus", kSpawnVehicle);
    editor_menu.add_item("Load Bus Stops", kLoadPoints);
    editor_menu.add_item("Save Bus Stops", kSavePoints);
    editor_menu.add_item("Show bus stops", kShowPoints);
}

void TransitService::editor_frame() {
    editor_menu.process();
    std::int32_t action = editor_menu.selected_action();
    if (action < 0)
        return;
    act_on_editor_item(action);
    // Spawning and loading leave the menu open for more of the same.
    if (action != kSpawnVehicle && action != kLoadPoints)
        editor_menu.toggle();
}

void TransitService::act_on_editor_item(std::int32_t action) {
    std::optional<host::Vec3> at = player_position();
    std::int32_t nearest = at ? nearest_point(at->x, at->y) : -1;
    switch (action) {
        case kAddBusStop:
            add_point(RoutePointType::BusStop);
            break;
        case kAddSpawnSpot:
            add_point(RoutePointType::SpawnSpot);
            break;
        case kAddWayPoint:
            add_point(RoutePointType::WayPoint);
            break;
        case kAddCapturePoint:
            add_point(RoutePointType::CapturePoint);
            start_connection();
            break;
        case kMakeConnection:
            start_connection();
            break;
        case kMarkBackwards:
            if (nearest >= 0) {
                RoutePoint& point = points[static_cast<std::size_t>(nearest)];
                point.backwards = !point.backwards;
            }
            break;
        case kDeletePoint:
            if (nearest >= 0)
                delete_point(nearest);
            break;
        case kSpawnVehicle:
            if (std::optional<host::Matrix> transform = host::player_matrix())
                spawn_vehicle(*transform, host::player_object_heading());
            break;
        case kLoadPoints:
            reload_points();
            break;
        case kSavePoints:
            save_points();
            break;
        case kShowPoints:
            show_points = !show_points;
            if (!show_points)
                drop_inspector_blip();
            break;
        default:
            break;
    }
}

// --- connections ---------------------------------------------------------------------

void TransitService::start_connection() {
    std::optional<host::Vec3> at = player_position();
    connect_from = at ? nearest_point(at->x, at->y) : -1;
    connecting = connect_from >= 0;
    if (connecting) {
        const RoutePoint& from = points[static_cast<std::size_t>(connect_from)];
        connect_x = whole_metres(from.x);
        connect_y = whole_metres(from.y);
    }
}

std::int32_t TransitService::connection_source() const {
    auto started_here = [this](std::int32_t index) {
        const RoutePoint& point = points[static_cast<std::size_t>(index)];
        return whole_metres(point.x) == connect_x && whole_metres(point.y) == connect_y;
    };
    if (valid_point(connect_from) && started_here(connect_from))
        return connect_from;
    // Points before it were deleted meanwhile, or the file was reloaded.
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (started_here(static_cast<std::int32_t>(i)))
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

void TransitService::connection_frame() {
    if (!connecting)
        return;
    host::show_text(0.1f, 0.1f, PositionCapture::kPrompt);
    if (host::key_pressed(ScanCode::Y)) {
        connecting = false;
        std::optional<host::Vec3> at = player_position();
        std::int32_t target = at ? nearest_point(at->x, at->y) : -1;
        std::int32_t source = connection_source();
        if (target < 0 || source < 0)
            return;  // the point it started from is gone: nothing to connect
        const RoutePoint& next = points[static_cast<std::size_t>(target)];
        RoutePoint& from = points[static_cast<std::size_t>(source)];
        from.link_x = whole_metres(next.x);
        from.link_y = whole_metres(next.y);
        save_points();
    } else if (host::key_pressed(ScanCode::N)) {
        connect_from = -1;
        connecting = false;
    }
}

// --- edits the vehicles must follow ---------------------------------------------------

void TransitService::delete_point(std::int32_t index) {
    if (!valid_point(index))
        return;
    auto at = points.begin() + index;
    if (at->blip != kNoHandle)
        host::remove_blip(at->blip);
    points.erase(at);
    index_points();
    for_each_vehicle([index](ServiceVehicle& record) { record.forget_point(index); });
    // The inspector finds its target again by the link.
    drop_inspector_blip();
}

void TransitService::reload_points() {
    load_points();
    for_each_vehicle([](ServiceVehicle& record) { record.lose_route(); });
    drop_inspector_blip();
}

void TransitService::drop_inspector_blip() {
    if (inspector_blip != kNoHandle)
        host::remove_blip(inspector_blip);
    inspector_blip = kNoHandle;
    inspector_target = -1;
}

void ServiceVehicle::forget_point(std::int32_t index) {
    auto follow = [index](std::int32_t& kept) {
        if (kept > index)
            --kept;
    };
    std::erase(history, index);
    for (std::int32_t& left : history)
        follow(left);
    if (last_target == index) {
        last_target = -1;
    } else {
        follow(last_target);
    }
    if (target == index) {
        target = -1;
        wandering = true;
        drive();
    } else {
        follow(target);
    }
}

void ServiceVehicle::lose_route() {
    history.clear();
    target = -1;
    last_target = -1;
    wandering = true;
    drive();
}

// --- the inspector ---------------------------------------------------------------------

void TransitService::inspect_frame() {
    std::optional<host::Vec3> at = player_position();
    std::int32_t nearest = at ? nearest_point(at->x, at->y) : -1;
    if (nearest >= 0) {
        const RoutePoint& point = points[static_cast<std::size_t>(nearest)];
        host::Rgba colour = inspector_colour(point);
        host::draw_circle(point.position(), kPointMarker, colour.red, colour.green, colour.blue);

        draw_text("xyz", kLabelX, 0.7f, kDataScale);
        draw_number(whole_metres(point.x), 0.85f, 0.7f);
        draw_number(whole_metres(point.y), 0.9f, 0.7f);
        draw_number(whole_metres(point.z), 0.95f, 0.7f);
        draw_text("heading", kLabelX, 0.75f, kDataScale);
        draw_number(whole_metres(point.heading), 0.85f, 0.75f);
        draw_text("connection xy", kLabelX, 0.8f, kDataScale);
        draw_number(point.link_x, 0.85f, 0.8f);
        draw_number(point.link_y, 0.9f, 0.8f);
        draw_text("type", kLabelX, 0.85f, kDataScale);
        draw_number(point.type, 0.85f, 0.85f);
        draw_text(point.backwards ? "go backwards" : "normal", kLabelX, 0.9f, kDataScale);

        std::int32_t target = point.has_full_link() ? find_by_link(point.link_x, point.link_y) : -1;
        if (target < 0) {
            // No link, or one to a point that is gone: no blip points anywhere.
            drop_inspector_blip();
        } else {
            const RoutePoint& next = points[static_cast<std::size_t>(target)];
            if (target != inspector_target || inspector_blip == kNoHandle) {
                drop_inspector_blip();
                host::Handle made = host::add_blip(next.position());
                if (made != 0) {
                    inspector_blip = made;
                    host::set_blip_colour(inspector_blip, kLinkBlipColour);
                }
                inspector_target = target;
            }
            host::draw_circle(next.position(), kTargetMarker, 0, 128, 0);
        }
    }
    draw_text(std::to_string(vehicles.size()), 0.7f, 0.1f, 1.0f);
}

}  // namespace corvalen
