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

bool fields_read(std::initializer_list<NeededField> fields, std::string* why) {
    for (const NeededField& field : fields) {
        if (!field.read) {
            if (why != nullptr)
                *why = std::string(field.name) + " is no number, or one out of range";
            return false;
        }
    }
    return true;
}

bool refuse(std::string* why, const char* reason) {
    if (why != nullptr)
        *why = reason;
    return false;
}

}  // namespace corvalen
