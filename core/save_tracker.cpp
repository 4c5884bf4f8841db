#include "core/save_tracker.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <limits>
#include <system_error>

#include "core/text_number.h"

namespace corvalen {

SaveTracker::SaveTracker(std::string folder_name, std::uint32_t game_timer, std::int64_t now)
    : last_game_timer(game_timer),
      next_save_time(now + kSaveInterval),
      folder(std::move(folder_name)) {}

std::int32_t identity_of_entry(const std::string& name, bool is_directory) {
    if (!is_directory) {
        bool digits_only = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
            return c >= '0' && c <= '9';
        });
        if (!digits_only)
            return 0;
    }
    return parse_int_prefix(name);
}

std::optional<std::int32_t> SaveTracker::allocate_save_identity() const {
    namespace fs = std::filesystem;
    std::error_code error;
    if (folder != "." && !fs::exists(folder, error))
        fs::create_directory(folder, error);

    // The largest number in use, kept exactly: a float maximum would round
    // names above 2^24 and could hand out a number already taken.
    std::int64_t largest = 0;
    fs::directory_iterator entry(folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code type_error;
        bool is_directory = entry->is_directory(type_error);
        std::string name;
        try {
            name = entry->path().filename().string();
        } catch (const std::exception&) {
            continue;  // a name this system's narrow text cannot hold is no identity
        }
        largest = std::max<std::int64_t>(largest, identity_of_entry(name, is_directory));
    }
    if (largest >= std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    auto identity = static_cast<std::int32_t>(largest + 1);
    // A folder listing that ended early may have missed the number in use.
    if (fs::exists(fs::path(folder) / std::to_string(identity), error) || error)
        return std::nullopt;
    return identity;
}

std::optional<std::int32_t> SaveTracker::identity_for_new_game(std::int64_t now,
                                                               bool host_stopped_playing) {
    if (!host_stopped_playing && now < next_allocation_time)
        return std::nullopt;
    std::optional<std::int32_t> identity = allocate_save_identity();
    next_allocation_time = identity ? 0 : now + kAllocationRetry;
    return identity;
}

}  // namespace corvalen
