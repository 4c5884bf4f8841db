#pragma once
// A service's stop file: one route point a line, x, y, z, heading (two
// decimals), type, backwards (0 or 1), and the truncated x and y of the
// point it connects to, each followed by ",". The stop files are shared by
// every save.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/csv.h"
#include "core/skip_reason.h"
#include "transit/position_table.h"
#include "transit/route_point.h"

namespace corvalen {

// The points of a stop file's lines, in file order. Lines that are short or
// whose numbers do not read go to `kept` (when given) for the next save to
// write back. So does a line at a truncated position an earlier point
// already holds (except (0, 0)): a connection could not tell the two apart.
// The points have no blip and no spawn time. Each line passed over, short,
// unreadable or a duplicate, goes to `skipped` (when given) with its reason;
// an empty line holds nothing to report.
std::vector<RoutePoint> parse_stop_lines(const std::vector<std::string>& lines,
                                         std::vector<std::string>* kept = nullptr,
                                         std::vector<SkippedLine>* skipped = nullptr);
// The same for the stop file at `path`, its lines as split_lines has them,
// into `points` (emptied first; its room is used again). `first_of_position`
// (emptied) gets the first point at each whole-metre position, (0, 0)
// included, as PointGrid keeps them. A file there but not read to its end
// (unread) leaves no points and nothing kept, as a missing one does.
FileRead read_stop_file(const std::filesystem::path& path, std::vector<RoutePoint>& points,
                        PositionTable& first_of_position, std::vector<std::string>* kept = nullptr);

}  // namespace corvalen
