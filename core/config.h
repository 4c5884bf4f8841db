#pragma once
// The player's settings: key=value lines read once from the data folder. Values
// stay text until a feature asks for a setting, so an absent or broken file
// simply means every default.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/settings.h"

namespace corvalen {

class Config {
  public:
    Config() = default;
    // Reads and parses the file at once; a file that cannot be opened leaves
    // the configuration empty.
    explicit Config(std::string path);

    // Parses configuration text; used by the constructor and handy for text
    // that does not come from a file.
    void parse(std::string_view text);

    // atoi of the value (saturating at the 32-bit range instead of
    // overflowing), or the default when the key is absent.
    std::int32_t get_int(std::string_view key, std::int32_t fallback) const;
    // atof of the value narrowed to float, or the default when absent.
    float get_float(std::string_view key, float fallback) const;
    // True exactly for the value "true"; the default when absent.
    bool get_bool(std::string_view key, bool fallback) const;

    // A setting of the table in core/settings.h, with the table's default.
    std::int32_t get(const Setting<std::int32_t>& setting) const {
        return get_int(setting.key, setting.fallback);
    }
    float get(const Setting<float>& setting) const {
        return get_float(setting.key, setting.fallback);
    }
    bool get(const Setting<bool>& setting) const { return get_bool(setting.key, setting.fallback); }

    const std::string& path() const { return path_; }
    // How many keys the file set.
    std::size_t size() const { return entries_.size(); }
    // The stored value of a key, or nullptr.
    const std::string* find(std::string_view key) const;

  private:
    std::string path_;
    std::unordered_map<std::string, std::string> entries_;
};

}  // namespace corvalen
