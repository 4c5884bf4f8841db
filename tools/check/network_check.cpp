#include "tools/check/network_check.h"

#include <cstdint>
#include <set>

#include "core/skip_reason.h"
#include "transit/route_links.h"
#include "transit/stop_file.h"

namespace check {
namespace {

using corvalen::RoutePoint;
using corvalen::RoutePointType;
using corvalen::ServiceMode;

struct Network {
    ServiceMode mode;
    std::string file;
    std::vector<RoutePoint> points;
    std::vector<std::size_t> line_of;  // each point's line number
    std::vector<std::int32_t> next;    // each point's next point, -1 for none

    bool water() const { return mode != ServiceMode::Bus; }
    // Only buses are caught back into the network once they wander.
    bool captures(std::size_t index) const { return !water() && points[index].captures(); }
    // Where vehicles join the network: created at a spawn spot (for boats and
    // ships the only place), or caught back by a stop or capture point.
    bool entry(std::size_t index) const {
        return points[index].is(RoutePointType::SpawnSpot) || captures(index);
    }
    void report(std::size_t index, std::string text, Findings& out) const {
        out.push_back({file, line_of[index], std::move(text)});
    }
};

std::string position_text(std::int32_t x, std::int32_t y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

void check_links(const Network& network, Findings& out) {
    for (std::size_t i = 0; i < network.points.size(); ++i) {
        const RoutePoint& point = network.points[i];
        if (point.link_x == 0 && point.link_y == 0)
            continue;
        std::int32_t target = corvalen::find_by_link(network.points, point.link_x, point.link_y);
        if (target < 0) {
            network.report(
                i,
                "links to " + position_text(point.link_x, point.link_y) + ", where no point stands",
                out);
        } else if (static_cast<std::size_t>(target) == i) {
            network.report(i, "links to itself", out);
        }
    }
}

// Follows the links from every entry: reports the points none of them
// reaches, and each end of a route on which no point takes a vehicle back.
void check_routes(const Network& network, Findings& out) {
    std::size_t count = network.points.size();
    std::vector<bool> reached(count, false);
    std::vector<bool> end_reported(count, false);
    for (std::size_t start = 0; start < count; ++start) {
        if (!network.entry(start))
            continue;
        std::set<std::size_t> on_route;
        bool caught_back = false;
        std::size_t at = start;
        while (true) {
            on_route.insert(at);
            reached[at] = true;
            caught_back = caught_back || network.captures(at);
            std::int32_t next = network.next[at];
            if (next < 0)
                break;
            if (on_route.count(static_cast<std::size_t>(next)) != 0) {
                caught_back = true;  // a loop never runs out
                break;
            }
            at = static_cast<std::size_t>(next);
        }
        if (!caught_back && !end_reported[at]) {
            end_reported[at] = true;
            std::string route = "the route from line " + std::to_string(network.line_of[start]);
            network.report(at,
                           network.water()
                               ? route +
                                     " ends here: boats and ships wander off, and nothing "
                                     "catches them back"
                               : route + " ends here without a capture point: buses wander off",
                           out);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!reached[i])
            network.report(i, "no vehicle reaches this point from a spawn spot or capture point",
                           out);
    }
}

}  // namespace

void check_network(ServiceMode mode, const std::string& file, const std::vector<std::string>& lines,
                   Findings& out) {
    std::vector<corvalen::SkippedLine> skipped;
    Network network{mode, file, corvalen::parse_stop_lines(lines, nullptr, &skipped), {}, {}};
    std::set<std::size_t> passed_over;
    for (const corvalen::SkippedLine& line : skipped) {
        passed_over.insert(line.index);
        out.push_back({file, line.index + 1, "skipped at load: " + line.reason});
    }
    // The points stand in file order on the lines the reader took.
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (!lines[index].empty() && passed_over.count(index) == 0)
            network.line_of.push_back(index + 1);
    }
    if (network.line_of.size() != network.points.size()) {
        // The reader took a line it did not account for: no point could be
        // named by its line, so the routes go unchecked, and say so.
        out.push_back({file, 0, "the points could not be matched to their lines; links unchecked"});
        return;
    }
    for (std::size_t i = 0; i < network.points.size(); ++i)
        network.next.push_back(corvalen::next_point(network.points, static_cast<std::int32_t>(i)));

    check_links(network, out);
    bool spawns = false;
    for (const RoutePoint& point : network.points)
        spawns = spawns || point.is(RoutePointType::SpawnSpot);
    if (network.water() && !network.points.empty() && !spawns) {
        out.push_back({file, 0, "no spawn spot: no vessel is ever created on this network"});
        return;  // every point would be unreached for the one reason above
    }
    check_routes(network, out);
}

}  // namespace check
