#pragma once
// Why a reader passed over a line of a data file. The plug-in reads without
// asking; the modders' check tool hands in a place for the reason, so what it
// reports is what the plug-in does rather than what a second parser thinks.

#include <cstddef>
#include <initializer_list>
#include <string>

namespace corvalen {

// A line of a file a reader passed over: its index among the file's lines
// (0 for the first) and why.
struct SkippedLine {
    std::size_t index = 0;
    std::string reason;
};

// A value a line reader needs, by the name a modder knows it by, and whether
// it read as a number of its kind.
struct NeededField {
    const char* name;
    bool read;
};

// True when a line of `count` values has the `least` a record needs;
// otherwise the reason goes to `why` (when given).
bool enough_values(std::size_t count, std::size_t least, std::string* why);

// The reason for a field that did not read.
void field_unread(const char* name, std::string* why);

// True when every field read; otherwise `why` (when given) names the first
// that did not. Inline: a load asks this of every line, and only a line with
// a field that did not read has a reason made.
inline bool fields_read(std::initializer_list<NeededField> fields, std::string* why) {
    for (const NeededField& field : fields) {
        if (!field.read) {
            field_unread(field.name, why);
            return false;
        }
    }
    return true;
}

// Gives the reason to `why` (when given) and returns false, for a reader
// that refuses a line for what its numbers say.
bool refuse(std::string* why, const char* reason);

}  // namespace corvalen
