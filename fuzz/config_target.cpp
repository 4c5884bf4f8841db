// The configuration file. The mod never writes it, so there is no written
// file to compare: what is read from the file is what is read from its text,
// stored values hold no blanks, and the number getters agree with the C run
// time's conversions wherever those are defined.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"
#include "fuzz/data_folder.h"

namespace {

using corvalen::Config;
using corvalen::fuzz::require;

constexpr const char* kConfigFile = "corvalen/corvalen.conf";

// The keys the mod reads, and for each line of the input the text before its
// first "=" without blanks, which the file may have stored a value under.
std::vector<std::string> keys_to_ask(std::string_view text) {
    std::vector<std::string> keys = {
        "max_busses",          "bus_spawn_delay",  "bus_spawn_spot_delay",
        "bus_respect_traffic", "max_ferries",      "max_ships",
        "fuel_ui_x",           "fuel_ui_y",        "fuel_ui_size",
        "blip_car_service",    "blip_gas_station", "blip_hotels",
        "keep_backups"};
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        std::string key;
        for (char c : line.substr(0, line.find('='))) {
            if (c != ' ' && c != '\r')
                key += c;
        }
        keys.push_back(std::move(key));
        start = end == std::string_view::npos ? text.size() : end + 1;
    }
    return keys;
}

// atoi where it is defined, saturated at the 32-bit range where it is not.
std::int32_t c_integer(const std::string& value) {
    errno = 0;
    long long wide = std::strtoll(value.c_str(), nullptr, 10);
    if (wide > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (wide < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(wide);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    corvalen::fuzz::write_file(kConfigFile, data, size);
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Config from_file(kConfigFile);
    Config from_text;
    from_text.parse(text);

    for (const std::string& key : keys_to_ask(text)) {
        const std::string* value = from_file.find(key);
        const std::string* same = from_text.find(key);
        require((value == nullptr) == (same == nullptr) && (!value || *value == *same),
                "the file and its text give another value", key);
        if (value == nullptr) {
            require(from_file.get_int(key, -7) == -7 && from_file.get_bool(key, true),
                    "an absent key gives no default", key);
            continue;
        }
        require(value->find_first_of(" \n\r=") == std::string::npos,
                "a stored value holds a blank or a '='", *value);
        // The value stops at the first NUL for the C run time.
        std::string c_text(value->c_str());
        require(from_file.get_int(key, -7) == c_integer(c_text),
                "the integer getter disagrees with atoi", *value);
        require(from_file.get_bool(key, false) == (*value == "true"),
                "the boolean getter is not 'true' and nothing else", *value);
        from_file.get_float(key, 0.0f);
    }
    return 0;
}
