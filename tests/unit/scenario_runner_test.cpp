// Playing scenario scripts in the stand-in (without the plug-in): a check that
// holds is silent, one that does not is reported with its file and line, and
// the run goes on to the next.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "hostsim/host.h"
#include "hostsim/script_runner.h"
#include "working_folder.h"

namespace corvalen::test {
namespace {

TEST(ScenarioRunner, ChecksThatDoNotHoldAreReportedWithTheirLine) {
    WorkingFolder folder;
    hostsim::Script script = hostsim::parse_script(
        "write f.txt \"a,1\\nb,2\\n\"\n"
        "cash 100\n"
        "wait 2 frames\n"
        "expect file f.txt has \"b,2\"\n"
        "expect file f.txt is \"a,1\\nb,2\\n\"\n"
        "expect file f.txt matches \"[ab],[0-9]\"\n"
        "expect cash 0\n"
        "expect player at -120 35\n"
        "expect file f.txt has \"c\"\n"         // 9
        "expect file f.txt is \"a,1\\n\"\n"     // 10
        "expect file f.txt matches \"[ab]\"\n"  // 11: a whole line must match
        "expect no file f.txt\n"                // 12
        "expect file g.txt\n"                   // 13
        "expect cash -5\n"                      // 14
        "expect player at 0 0\n"                // 15
        "expect text \"Corvalen\"\n"            // 16
        "wait 1s\n",
        "run.txt", "");
    ASSERT_TRUE(script.errors.empty()) << script.errors.front();
    hostsim::Host host;
    std::ostringstream timeline;
    std::ostringstream failures;
    hostsim::ScriptRun run = hostsim::run_script(host, script, "", "", timeline, failures);

    std::vector<std::string> lines;
    for (const std::string& failure : run.failures)
        lines.push_back(failure.substr(0, failure.find(':', 8)));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"run.txt:9", "run.txt:10", "run.txt:11", "run.txt:12",
                                        "run.txt:13", "run.txt:14", "run.txt:15", "run.txt:16"}))
        << failures.str();
    // The run went on after the failures: a second (31 frames of 33 ms) went
    // to waiting for the missing text, another to the last wait.
    EXPECT_EQ(host.frame(), 2u + 2 * 31u);
}

}  // namespace
}  // namespace corvalen::test
