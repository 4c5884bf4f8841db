#pragma once
// The lines of a data file that the plug-in's reader of that file passes
// over, with the reader's own reason.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/check/finding.h"

namespace check {

// A reader of one line: true when it makes a record, else the reason in `why`.
using LineReader = std::function<bool(std::string_view line, std::string* why)>;

// A finding for every line the reader passes over; empty lines hold nothing
// and are left out.
void check_lines(const std::string& file, const std::vector<std::string>& lines,
                 const LineReader& reader, Findings& out);

// The plug-in's readers of the station, lots, property, fuel and car files.
LineReader station_reader();
LineReader lot_reader();
LineReader property_reader();
LineReader fuel_reader();
LineReader car_reader();

}  // namespace check
