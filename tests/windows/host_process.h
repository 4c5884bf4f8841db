#pragma once
// Runs one stand-in host process (a Windows program, so this runs under Wine
// too) and reads the one-line JSON summary it prints last.

#include <string>
#include <vector>

namespace corvalen::test {

struct HostRun {
    unsigned long exit_code = 0;
    std::string output;   // everything the process printed
    std::string summary;  // its last line that holds a JSON object

    bool has(const std::string& key) const { return !value(key).empty(); }
    // The scalar value of a top-level field of the summary; empty if absent.
    std::string value(const std::string& key) const;
    long number(const std::string& key) const;
    bool flag(const std::string& key) const { return value(key) == "true"; }
};

// Windows path of a file in the build folder.
std::string build_path(const std::string& relative);
// Windows path of a file in the source tree.
std::string source_path(const std::string& relative);

// Windows path of the release DLL as the package holds it, once
// scripts/package.sh and tests/package/check_package.sh have unpacked it.
std::string packaged_dll();
// Whether that DLL may be missing: only outside `make test`, which builds the
// package first and sets CORVALEN_PACKAGE_CHECK.
bool package_may_be_missing();

// A new empty folder under the build folder, for one run's current directory.
std::string fresh_folder(const std::string& name);

// True when a line of a timeline (or any text) holds `text`.
bool has_line_containing(const std::vector<std::string>& lines, const std::string& text);

// Runs `exe` (relative to the build folder) with the arguments in `folder`.
HostRun run_host(const std::string& exe, const std::vector<std::string>& arguments,
                 const std::string& folder);

}  // namespace corvalen::test
