#include "hostsim/timeline.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "hostsim/world.h"

namespace hostsim {
namespace {

std::string stamp(std::uint32_t frame) {
    return "frame " + std::to_string(frame) + ": ";
}

std::vector<std::string> read_lines(const std::string& path, bool& found) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    found = static_cast<bool>(in);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

constexpr std::size_t kReportedDifferences = 10;

}  // namespace

void Timeline::catch_up(const World& world) {
    const std::vector<JournalEntry>& journal = world.journal();
    for (; journal_seen_ < journal.size(); ++journal_seen_) {
        lines_.push_back(stamp(journal[journal_seen_].frame) + journal[journal_seen_].text);
    }
}

void Timeline::end_frame(const World& world) {
    catch_up(world);
    // Two screens are the same when they read the same.
    std::vector<std::string> now;
    for (const DrawItem& item : world.last_frame_draws())
        now.push_back(describe(item));
    if (now == shown_)
        return;
    std::string prefix = stamp(world.frame());
    if (now.empty()) {
        lines_.push_back(prefix + "screen: nothing drawn");
    } else {
        lines_.push_back(prefix + "screen: " + std::to_string(now.size()) +
                         (now.size() == 1 ? " item" : " items"));
        for (const std::string& item : now)
            lines_.push_back(prefix + "  " + item);
    }
    shown_ = std::move(now);
}

bool write_lines(const std::string& path, const std::vector<std::string>& lines) {
    std::filesystem::path target(path);
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const std::string& line : lines)
            out << line << '\n';
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    return !error;
}

bool Timeline::write(const std::string& path) const {
    return write_lines(path, lines_);
}

ExpectedFileCheck check_expected_file(const std::vector<std::string>& lines,
                                      const std::string& path) {
    const char* update = std::getenv("HOSTSIM_UPDATE_EXPECTED");
    if (update != nullptr && std::string(update) == "1") {
        std::error_code error;
        std::filesystem::path target(path);
        if (target.has_parent_path())
            std::filesystem::create_directories(target.parent_path(), error);
        if (!write_lines(path, lines))
            return {false, "cannot write " + path};
        return {true, "updated " + path + " (" + std::to_string(lines.size()) + " lines)"};
    }

    bool found = false;
    std::vector<std::string> expected = read_lines(path, found);
    if (!found) {
        return {false, "no expected file " + path +
                           "; run with HOSTSIM_UPDATE_EXPECTED=1 to write it, then review it"};
    }
    std::string report;
    std::size_t differences = 0;
    std::size_t longest = std::max(lines.size(), expected.size());
    for (std::size_t i = 0; i < longest; ++i) {
        const std::string* got = i < lines.size() ? &lines[i] : nullptr;
        const std::string* want = i < expected.size() ? &expected[i] : nullptr;
        if (got != nullptr && want != nullptr && *got == *want)
            continue;
        if (++differences <= kReportedDifferences) {
            report += "line " + std::to_string(i + 1) +
                      ":\n  expected: " + (want != nullptr ? *want : "<end of file>") +
                      "\n  actual:   " + (got != nullptr ? *got : "<end of timeline>") + "\n";
        }
    }
    if (differences == 0)
        return {true, ""};
    report = path + ": " + std::to_string(differences) + " differing line(s)\n" + report +
             "(HOSTSIM_UPDATE_EXPECTED=1 rewrites the file; review the change)\n";
    return {false, report};
}

}  // namespace hostsim
