#pragma once
// Plays a scenario script (script.h) in a stand-in game: the set-up lines
// shape the world (the data folder included) before the plug-in loads, which
// it does just before the first frame runs; then every line plays the
// player's part frame by frame, checks what it expects, and takes pictures.
// The readable timeline (story.h) is printed as the script runs and written
// to OUT/timeline.txt; pictures go to OUT/pictures/NN.snap.

#include <iosfwd>
#include <string>
#include <vector>

#include "hostsim/script.h"
#include "hostsim/story.h"

namespace hostsim {

class Host;

struct ScriptRun {
    bool plugin_loaded = false;  // or no plug-in was asked for
    std::string load_error;
    std::vector<std::string> failures;  // "FILE:LINE: what was expected and what happened"
    std::vector<std::string> timeline;  // the readable lines
};

// The data folder the plug-in keeps its files in, under the game's folder.
inline constexpr const char* kDataFolder = "corvalen";

// Runs the script in `host`; `plugin` (empty: none) is loaded before the
// first frame. The timeline goes to `echo` line by line and, with `out`
// given, into OUT/timeline.txt; failures to `err` as they happen.
ScriptRun run_script(Host& host, const Script& script, const std::string& plugin,
                     const std::string& out, std::ostream& echo, std::ostream& err);

}  // namespace hostsim
