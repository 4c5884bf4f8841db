#pragma once
// What the check tool tells a modder: a file of the data folder ("SAVE/NAME"
// for a save's files), a line in it as a text editor counts them, and what is
// wrong there.

#include <cstddef>
#include <string>
#include <vector>

namespace check {

struct Finding {
    std::string file;
    std::size_t line = 0;  // from 1; 0 for the file as a whole
    std::string text;
};

using Findings = std::vector<Finding>;

// "bus_stops.csv:3: text", or "boat_stops.csv: text" for a whole file.
std::string describe(const Finding& finding);

}  // namespace check
