#include "core/skip_reason.h"

namespace corvalen {

bool enough_values(std::size_t count, std::size_t least, std::string* why) {
    if (count >= least)
        return true;
    if (why != nullptr) {
        *why = std::to_string(count) + (count == 1 ? " value" : " values") + ", fewer than the " +
               std::to_string(least) + " a record needs";
    }
    return false;
}

void field_unread(const char* name, std::string* why) {
    if (why != nullptr)
        *why = std::string(name) + " is no number, or one out of range";
}

bool refuse(std::string* why, const char* reason) {
    if (why != nullptr)
        *why = reason;
    return false;
}

}  // namespace corvalen
