// Reading scenario scripts: a line is split into words and quoted texts ("#"
// outside quotes starts a comment), then read by its verb.

#include <charconv>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "hostsim/script.h"

namespace hostsim {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// A quoted text knows \" \\ and \n; false (with the reason) for a bad line.
bool split_line(const std::string& line, std::vector<Token>& tokens, std::string& error) {
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token token{"", true};
            for (++i;; ++i) {
                if (i >= line.size()) {
                    error = "a quoted text is not closed";
                    return false;
                }
                if (line[i] == '"')
                    break;
                if (line[i] == '\\') {
                    char next = i + 1 < line.size() ? line[i + 1] : '\0';
                    if (next != '"' && next != '\\' && next != 'n') {
                        error = "unknown escape in a quoted text (\\\" \\\\ \\n are known)";
                        return false;
                    }
                    token.text += next == 'n' ? '\n' : next;
                    ++i;
                } else {
                    token.text += line[i];
                }
            }
            ++i;
            tokens.push_back(std::move(token));
        } else {
            std::size_t end = line.find_first_of(" \t\r\"#", i);
            if (end == std::string::npos)
                end = line.size();
            tokens.push_back({line.substr(i, end - i), false});
            i = end;
        }
    }
    return true;
}

// How long "wait for" waits unless told, and how near a vehicle it waits for.
constexpr std::uint32_t kLongestWaitMs = 120000;
constexpr float kNearPlayer = 25.0f;
// How near the player must stand to a point to be at it.
constexpr float kAtPoint = 2.0f;

// The longest stretch of game time a line may name: thirty days.
constexpr std::uint64_t kLongestMs = 30ull * 24 * 60 * 60 * 1000;

template <class Number>
bool whole_number(const std::string& text, Number& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && begin != end;
}

// "10s", "500ms", "2m", "1h30m".
bool parse_duration(const std::string& text, std::uint32_t& ms) {
    std::uint64_t total = 0;
    std::size_t i = 0;
    if (text.empty())
        return false;
    while (i < text.size()) {
        std::size_t digits = text.find_first_not_of("0123456789", i);
        if (digits == i || digits == std::string::npos || digits - i > 9)
            return false;
        std::uint64_t count = 0;
        std::from_chars(text.data() + i, text.data() + digits, count);
        std::size_t unit_end = text.find_first_of("0123456789", digits);
        std::string unit = text.substr(digits, unit_end - digits);
        std::uint64_t scale = unit == "ms"  ? 1
                              : unit == "s" ? 1000
                              : unit == "m" ? 60000
                              : unit == "h" ? 3600000
                                            : 0;
        if (scale == 0)
            return false;
        total += count * scale;
        if (total > kLongestMs)
            return false;
        i = unit_end == std::string::npos ? text.size() : unit_end;
    }
    ms = static_cast<std::uint32_t>(total);
    return true;
}

// Reads the words of one line in order.
class Line {
  public:
    explicit Line(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    bool done() const { return next_ >= tokens_.size(); }
    const Token* peek() const { return done() ? nullptr : &tokens_[next_]; }
    // The next token if it is this bare word.
    bool word(const char* wanted) {
        if (done() || tokens_[next_].quoted || tokens_[next_].text != wanted)
            return false;
        ++next_;
        return true;
    }
    bool bare(std::string& out) {
        if (done() || tokens_[next_].quoted)
            return false;
        out = tokens_[next_++].text;
        return true;
    }
    bool quoted(std::string& out) {
        if (done() || !tokens_[next_].quoted)
            return false;
        out = tokens_[next_++].text;
        return true;
    }
    // A path may be quoted (for spaces) or not.
    bool path(std::string& out) {
        if (done() || tokens_[next_].text.empty())
            return false;
        out = tokens_[next_++].text;
        return true;
    }
    bool number(float& out) {
        if (done() || tokens_[next_].quoted)
            return false;
        const std::string& text = tokens_[next_].text;
        const char* begin = text.data();
        const char* end = begin + text.size();
        if (begin != end && *begin == '+')
            ++begin;
        auto [stop, error] = std::from_chars(begin, end, out);
        if (error != std::errc() || stop != end || begin == end)
            return false;
        ++next_;
        return true;
    }
    bool integer(std::int32_t& out) {
        if (done() || tokens_[next_].quoted || !whole_number(tokens_[next_].text, out))
            return false;
        ++next_;
        return true;
    }
    bool duration(std::uint32_t& ms) {
        if (done() || tokens_[next_].quoted || !parse_duration(tokens_[next_].text, ms))
            return false;
        ++next_;
        return true;
    }
    // X Y and an optional Z.
    bool point(Action& action) {
        if (!number(action.point.x) || !number(action.point.y))
            return false;
        action.has_z = number(action.point.z);
        return true;
    }

  private:
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
};

// What a line of each kind looks like, for the error messages.
const char* usage(Verb verb) {
    switch (verb) {
        case Verb::copy:
            return "copy FOLDER";
        case Verb::write:
            return "write PATH \"TEXT\"";
        case Verb::cash:
            return "cash AMOUNT";
        case Verb::clock:
            return "clock HH:MM";
        case Verb::time_zone:
            return "time-zone ZONE";
        case Verb::car:
            return "car MODEL at X Y [Z] [heading DEGREES] [fuel PERCENT] [condition 0-1000]";
        case Verb::person:
            return "person at X Y [Z]";
        case Verb::player_at:
            return "player at X Y [Z]";
        case Verb::press:
            return "press KEY";
        case Verb::hold:
            return "hold KEY";
        case Verb::release:
            return "release KEY";
        case Verb::walk:
            return "walk to X Y [Z] [at SPEED]";
        case Verb::drive:
            return "drive to X Y [Z] [at SPEED]";
        case Verb::get_in:
            return "get in [MODEL]";
        case Verb::get_out:
            return "get out";
        case Verb::wait:
            return "wait DURATION, wait N frames";
        case Verb::wait_for:
            return "wait for \"TEXT\" | MODEL [within METRES] | player at X Y [Z] [within "
                   "METRES], then [up to DURATION]";
        case Verb::pass_game:
            return "pass game DURATION";
        case Verb::pass_wall:
            return "pass wall DURATION";
        case Verb::save:
            return "save";
        case Verb::load:
            return "load [SLOT]";
        case Verb::note:
            return "note \"TEXT\"";
        case Verb::expect_text:
            return "expect text \"TEXT\"";
        case Verb::expect_no_text:
            return "expect no text \"TEXT\"";
        case Verb::expect_cash:
            return "expect cash CHANGE";
        case Verb::expect_file:
            return "expect file PATH [has|is|matches \"TEXT\"]";
        case Verb::expect_no_file:
            return "expect no file PATH";
        case Verb::expect_player:
            return "expect player at X Y [Z] [within METRES]";
        case Verb::picture:
            return "picture \"CAPTION\"";
    }
    return "";
}

bool read_key(Line& line, Action& action, std::string& error) {
    std::string name;
    if (!line.bare(name))
        return false;
    if (!scan_code_of(name, action.key)) {
        error = "unknown key \"" + name + "\"";
        return false;
    }
    return true;
}

bool read_model(Line& line, Action& action, std::string& error) {
    std::string name;
    if (!line.bare(name))
        return false;
    action.model = model_named(name);
    if (action.model == 0) {
        error = "unknown vehicle model \"" + name + "\"";
        return false;
    }
    return true;
}

bool read_car(Line& line, Action& action, std::string& error) {
    if (!read_model(line, action, error) || !line.word("at") || !line.point(action))
        return false;
    while (!line.done()) {
        if (line.word("heading")) {
            if (!line.number(action.heading))
                return false;
        } else if (line.word("fuel")) {
            std::string percent;
            if (!line.bare(percent) || percent.size() < 2 || percent.back() != '%' ||
                !whole_number(percent.substr(0, percent.size() - 1), action.fuel_percent) ||
                action.fuel_percent < 0 || action.fuel_percent > 100)
                return false;
        } else if (line.word("condition")) {
            if (!line.number(action.condition) || !(action.condition >= 0.0f) ||
                action.condition > 1000.0f)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool read_clock(Line& line, Action& action) {
    std::string text;
    if (!line.bare(text) || text.size() != 5 || text[2] != ':')
        return false;
    return whole_number(text.substr(0, 2), action.amount) &&
           whole_number(text.substr(3, 2), action.minute) && action.amount >= 0 &&
           action.amount <= 23 && action.minute >= 0 && action.minute <= 59;
}

bool read_walk(Line& line, Action& action) {
    if (!line.word("to") || !line.point(action))
        return false;
    if (line.word("at"))
        return line.number(action.speed) && action.speed > 0.0f && action.speed < 1000.0f;
    return true;
}

bool read_expect(Line& line, Action& action, std::string& error) {
    if (line.word("text")) {
        action.verb = Verb::expect_text;
        return line.quoted(action.text);
    }
    if (line.word("cash")) {
        action.verb = Verb::expect_cash;
        return line.integer(action.amount);
    }
    if (line.word("player")) {
        action.verb = Verb::expect_player;
        action.within = kAtPoint;
        if (!line.word("at") || !line.point(action))
            return false;
        return !line.word("within") || (line.number(action.within) && action.within > 0.0f);
    }
    if (line.word("no")) {
        if (line.word("text")) {
            action.verb = Verb::expect_no_text;
            return line.quoted(action.text);
        }
        action.verb = Verb::expect_no_file;
        return line.word("file") && line.path(action.text);
    }
    action.verb = Verb::expect_file;
    if (!line.word("file") || !line.path(action.text))
        return false;
    if (line.done())
        return true;
    if (line.word("has")) {
        action.check = FileCheck::has;
    } else if (line.word("is")) {
        action.check = FileCheck::is;
    } else if (line.word("matches")) {
        action.check = FileCheck::matches;
    } else {
        return false;
    }
    if (!line.quoted(action.pattern))
        return false;
    if (action.check == FileCheck::matches) {
        try {
            std::regex check(action.pattern);
        } catch (const std::regex_error&) {
            error = "the pattern is no regular expression";
            return false;
        }
    }
    return true;
}

// Reads one action from the words after the first; false when the line does
// not fit (with `error` set when something more precise than the usage is known).
bool read_action(const std::string& first, Line& line, Action& action, std::string& error) {
    static const std::pair<const char*, Verb> kSimple[] = {
        {"copy", Verb::copy},      {"write", Verb::write},         {"cash", Verb::cash},
        {"clock", Verb::clock},    {"time-zone", Verb::time_zone}, {"car", Verb::car},
        {"person", Verb::person},  {"player", Verb::player_at},    {"press", Verb::press},
        {"hold", Verb::hold},      {"release", Verb::release},     {"walk", Verb::walk},
        {"drive", Verb::drive},    {"get", Verb::get_in},          {"wait", Verb::wait},
        {"pass", Verb::pass_game}, {"save", Verb::save},           {"load", Verb::load},
        {"note", Verb::note},      {"expect", Verb::expect_text},  {"picture", Verb::picture},
    };
    bool known = false;
    for (const auto& [name, verb] : kSimple) {
        if (first == name) {
            action.verb = verb;
            known = true;
        }
    }
    if (!known) {
        error = "unknown action \"" + first + "\"";
        return false;
    }
    switch (action.verb) {
        case Verb::copy:
            return line.path(action.text);
        case Verb::write:
            return line.path(action.text) && line.quoted(action.pattern);
        case Verb::cash:
            return line.integer(action.amount);
        case Verb::clock:
            return read_clock(line, action);
        case Verb::time_zone:
            return line.path(action.text);
        case Verb::car:
            return read_car(line, action, error);
        case Verb::person:
        case Verb::player_at:
            return line.word("at") && line.point(action);
        case Verb::press:
        case Verb::hold:
        case Verb::release:
            return read_key(line, action, error);
        case Verb::walk:
        case Verb::drive:
            return read_walk(line, action);
        case Verb::get_in:
            if (line.word("out")) {
                action.verb = Verb::get_out;
                return true;
            }
            if (!line.word("in"))
                return false;
            return line.done() || read_model(line, action, error);
        case Verb::wait:
            if (line.word("for")) {
                action.verb = Verb::wait_for;
                action.ms = kLongestWaitMs;
                action.within = kNearPlayer;
                if (!line.quoted(action.text)) {
                    if (line.word("player")) {
                        action.player_at_point = true;
                        if (!line.word("at") || !line.point(action))
                            return false;
                    } else if (!read_model(line, action, error)) {
                        return false;
                    }
                    if (line.word("within") &&
                        (!line.number(action.within) || !(action.within > 0.0f)))
                        return false;
                }
                return !line.word("up") || (line.word("to") && line.duration(action.ms));
            }
            if (line.duration(action.ms))
                return true;
            {
                std::int32_t frames = 0;
                if (!line.integer(frames) || frames <= 0 || !line.word("frames"))
                    return false;
                action.frames = static_cast<std::uint32_t>(frames);
            }
            return true;
        case Verb::pass_game:
            if (line.word("wall"))
                action.verb = Verb::pass_wall;
            else if (!line.word("game"))
                return false;
            return line.duration(action.ms);
        case Verb::save:
            return true;
        case Verb::load:
            action.amount = 1;
            return line.done() || (line.integer(action.amount) && action.amount > 0);
        case Verb::note:
        case Verb::picture:
            return line.quoted(action.text);
        case Verb::expect_text:
            return read_expect(line, action, error);
        default:
            return false;
    }
}

}  // namespace

Script parse_script(const std::string& text, const std::string& file, const std::string& folder) {
    Script script;
    script.file = file;
    script.folder = folder;
    std::istringstream lines(text);
    std::string content;
    for (int number = 1; std::getline(lines, content); ++number) {
        auto fail = [&](const std::string& message) {
            std::string where = file;
            where += ":" + std::to_string(number) + ": ";
            script.errors.push_back(where + message);
        };
        std::vector<Token> tokens;
        std::string error;
        if (!split_line(content, tokens, error)) {
            fail(error);
            continue;
        }
        if (tokens.empty())
            continue;
        if (tokens[0].quoted) {
            fail("a line starts with an action, not a quoted text");
            continue;
        }
        Line line(std::vector<Token>(tokens.begin() + 1, tokens.end()));
        Action action;
        action.line = number;
        if (!read_action(tokens[0].text, line, action, error)) {
            fail(error.empty() ? std::string("expected ") + usage(action.verb) : error);
            continue;
        }
        if (const Token* extra = line.peek()) {
            fail("unexpected \"" + extra->text + "\" after " + usage(action.verb));
            continue;
        }
        script.actions.push_back(std::move(action));
    }
    return script;
}

Script read_script(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string folder;
    try {
        folder = std::filesystem::path(path).parent_path().string();
    } catch (...) {
    }
    if (!in) {
        Script script;
        script.file = path;
        script.errors.push_back(path + ": cannot read the script");
        return script;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parse_script(text.str(), path, folder);
}

}  // namespace hostsim
