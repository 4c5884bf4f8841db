#pragma once
// A readable, deterministic account of a run, one line per event:
//   frame 12: cash 5000.00 -> 4990.00 (-10)
//   frame 12: screen: 2 items
//   frame 12:   text "Corvalen mod" at (0.10,0.10) scale (0.35,0.35) colour (255,255,255,255)
// The world's journal (money, statistics written, blips, saves, loads, notes)
// comes first within a frame; the screen is written whenever what is drawn
// differs from the frame before. What happens between two frames carries the
// number of the frame before (0 before the first frame: the plug-in's load).

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/draw_record.h"

namespace hostsim {

class World;

class Timeline {
  public:
    // Takes in what happened up to now; with a frame's draws when it ended.
    void catch_up(const World& world);
    void end_frame(const World& world);

    const std::vector<std::string>& lines() const { return lines_; }
    // Writes the lines to a file, replacing it; false when it cannot be written.
    bool write(const std::string& path) const;

  private:
    std::size_t journal_seen_ = 0;
    std::vector<std::string> shown_;  // the screen last written, described
    std::vector<std::string> lines_;
};

// Replaces a file with the lines atomically (temporary file, then rename);
// false when it cannot be written.
bool write_lines(const std::string& path, const std::vector<std::string>& lines);

// The result of comparing lines with a reviewed expected file.
struct ExpectedFileCheck {
    bool matches = false;
    std::string report;  // what differs, or what was done
};

// Compares lines with the file line by line. With HOSTSIM_UPDATE_EXPECTED=1
// in the environment the file is (re)written instead and the check passes.
ExpectedFileCheck check_expected_file(const std::vector<std::string>& lines,
                                      const std::string& path);

}  // namespace hostsim
