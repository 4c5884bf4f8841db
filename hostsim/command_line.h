#pragma once
// The host process's command line, shared by the Windows executables and the
// Linux runner:
//   --plugin PATH            load the plug-in before the first frame
//   --frames N               frames to run (default 10)
//   --press FRAME:SCANCODE   press a key in one frame (repeatable; code decimal or 0x..)
//   --hold FROM:TO:SCANCODE  hold a key through frames FROM..TO (repeatable)
//   --save-screen FRAME      open the game's save screen before FRAME
//   --save-at-open           the save screen writes the save when it opens, not at its end
//   --load FRAME:SLOT        load a save slot before FRAME
//   --script FILE            play a scenario script (script.h) instead of a frame count
//   --out DIR                the script's readable timeline and pictures go there
//   --wall-step-ms N         wall-clock milliseconds per frame (in-process clock only)
//   --layout 1070|1080       lay the image out for that build whatever the version
//   --stack-skew N           misalign the call sites' stack by N bytes (0, 4, 8, 12)
//   --record FILE            write the timeline (draws, money, statistics...) to FILE,
//                            or to standard output before the summary with "-"
//   --free-plugin            free the plug-in after loading it; report whether it stayed
// It ends with a one-line JSON summary on standard output.

#include <iosfwd>
#include <string>
#include <vector>

#include "hostsim/host.h"

namespace hostsim {

// Runs the host process with the arguments (without the program name).
// Returns the process exit code: 0, 1 when the plug-in failed to load, 2 for
// a malformed command line.
int run_host_process(const std::vector<std::string>& arguments, BootOptions options,
                     std::ostream& out, std::ostream& err);

// The summary line.
std::string summary_json(const Host& host, int frames_run, int pinned /* -1 not asked */);

}  // namespace hostsim
