#include "tools/check/finding.h"

namespace check {

std::string describe(const Finding& finding) {
    std::string where = finding.file;
    if (finding.line != 0)
        where += ":" + std::to_string(finding.line);
    return where + ": " + finding.text;
}

}  // namespace check
