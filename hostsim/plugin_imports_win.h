#pragma once
// The plug-in reads the wall clock (GetSystemTimeAsFileTime) and draws its
// random seeds (RtlGenRandom) through system imports. The stand-in answers
// both from the world, so a run under Wine never waits for the real clock and
// rolls the same dice every time: while the plug-in loads, its import address
// table is pointed at the world's answers before its entry point (and the
// load-time initialisers that already read the clock) runs.

#include <windows.h>

#include <string>

namespace hostsim {

// LoadLibraryA of the plug-in with its clock and seed imports redirected;
// null (GetLastError set) when the load fails.
HMODULE load_plugin_answering_imports(const std::string& path);

}  // namespace hostsim
