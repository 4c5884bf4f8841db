// The timeline a long scenario is compared by, its expected-file check, and
// the host process's command line.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "hostsim/command_line.h"
#include "hostsim/timeline.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

namespace fs = std::filesystem;

fs::path fresh_folder(const std::string& name) {
    fs::path folder =
        fs::temp_directory_path() / ("hostsim-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::vector<std::string> read_file(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(TimelineTest, WritesJournalThenScreenChangesOnlyWhenTheyChange) {
    World world;
    Timeline timeline;
    auto frame = [&](bool draw) {
        world.begin_frame();
        if (draw) {
            world.set_text_scale(0.5f, 0.5f);
            world.draw_text(0.1f, 0.1f, "Vehicle Parked");
        }
        world.end_frame();
        timeline.end_frame(world);
    };
    frame(false);
    world.add_cash(-10);
    frame(true);
    frame(true);
    frame(false);

    std::vector<std::string> expected = {
        "frame 1: cash 5000.00 -> 4990.00 (-10)",
        "frame 2: screen: 1 item",
        "frame 2:   text \"Vehicle Parked\" at (0.100,0.100) scale (0.500,0.500) colour "
        "(255,255,255,255)",
        "frame 4: screen: nothing drawn",
    };
    EXPECT_EQ(timeline.lines(), expected);
}

class ExpectedFileTest : public ::testing::Test {
  protected:
    void TearDown() override { unsetenv("HOSTSIM_UPDATE_EXPECTED"); }
    fs::path folder = fresh_folder("expected");
    std::vector<std::string> lines = {"frame 1: a", "frame 2: b", "frame 3: c"};
};

TEST_F(ExpectedFileTest, MissingFileFailsAndSaysHowToCreateIt) {
    ExpectedFileCheck check = check_expected_file(lines, (folder / "none.txt").string());
    EXPECT_FALSE(check.matches);
    EXPECT_NE(check.report.find("HOSTSIM_UPDATE_EXPECTED=1"), std::string::npos);
}

TEST_F(ExpectedFileTest, UpdateWritesTheFileWhichThenMatches) {
    std::string path = (folder / "sub" / "run.txt").string();
    setenv("HOSTSIM_UPDATE_EXPECTED", "1", 1);
    EXPECT_TRUE(check_expected_file(lines, path).matches);
    unsetenv("HOSTSIM_UPDATE_EXPECTED");
    EXPECT_EQ(read_file(path), lines);
    EXPECT_TRUE(check_expected_file(lines, path).matches);
}

TEST_F(ExpectedFileTest, DifferencesAreReportedByLineIncludingMissingAndExtraLines) {
    std::string path = (folder / "run.txt").string();
    std::ofstream(path) << "frame 1: a\r\nframe 2: B\nframe 3: c\nframe 4: d\n";

    ExpectedFileCheck longer = check_expected_file(lines, path);
    EXPECT_FALSE(longer.matches);
    EXPECT_NE(longer.report.find("2 differing line(s)"), std::string::npos) << longer.report;
    EXPECT_NE(longer.report.find("line 2:\n  expected: frame 2: B\n  actual:   frame 2: b"),
              std::string::npos)
        << longer.report;
    EXPECT_NE(longer.report.find("line 4:\n  expected: frame 4: d\n  actual:   <end of timeline>"),
              std::string::npos)
        << longer.report;
    EXPECT_EQ(longer.report.find("line 1:"), std::string::npos) << "CR LF read as LF";
}

struct ProcessRun {
    int exit_code;
    std::string out;
    std::string err;
};

ProcessRun run(const std::vector<std::string>& arguments, Build build = Build::v1070) {
    std::ostringstream out;
    std::ostringstream err;
    int code = run_host_process(arguments, boot_options(build), out, err);
    return {code, out.str(), err.str()};
}

TEST(CommandLineTest, RunsFramesWithoutPlugInAndSummarisesInOneJsonLine) {
    ProcessRun r = run({"--frames", "4", "--press", "2:0x58", "--hold", "1:3:56"}, Build::v1080);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    for (const char* field : {"\"build\":1080", "\"layout\":1080", "\"frames\":4",
                              "\"plugin_loaded\":false", "\"patched_sites\":0", "\"frame_ticks\":0",
                              "\"corrupted\":false", "\"after_eax_ok\":true",
                              "\"script_pointer_ok\":true", "\"pinned\":null", "\"natives\":0"}) {
        EXPECT_NE(r.out.find(field), std::string::npos) << field << " in " << r.out;
    }
}

TEST(CommandLineTest, UnknownBuildsReportTheirCodeAndLayout) {
    ProcessRun r = run({"--frames", "1", "--layout", "1080"}, Build::overflow);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("\"build\":0,\"version\":\"65535.65535.65535.65535\",\"layout\":1080"),
              std::string::npos)
        << r.out;
}

TEST(CommandLineTest, MalformedArgumentsAreRefusedBeforeAnythingRuns) {
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--press", "2"},
                                               {"--press", "2:300"},
                                               {"--hold", "1:x:5"},
                                               {"--frames", "-1"},
                                               {"--frames"},
                                               {"--layout", "1090"},
                                               {"--load", "0:1"},
                                               {"--bogus", "1"}}) {
        ProcessRun r = run(bad);
        EXPECT_EQ(r.exit_code, 2) << bad[0];
        EXPECT_TRUE(r.out.empty()) << bad[0];
    }
}

TEST(CommandLineTest, SaveScreenAndLoadAreScriptedAndRecorded) {
    fs::path record = fresh_folder("record") / "timeline.txt";
    ProcessRun r = run({"--frames", "60", "--save-screen", "2", "--load", "40:1", "--load", "45:3",
                        "--record", record.string()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> lines = read_file(record);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "frame 1: save screen opened");
    EXPECT_EQ(lines[1], "frame 31: game saved to slot 1 (save identity 0)");
    EXPECT_EQ(lines[2].rfind("frame 40: game loaded from slot 1", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "frame 44: no save in slot 3");
}

TEST(CommandLineTest, MissingPlugInFailsWithExitCodeOneAndStillSummarises) {
    ProcessRun r = run({"--plugin", "/nonexistent/corvalen.so", "--frames", "2"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("cannot load"), std::string::npos);
    EXPECT_NE(r.out.find("\"plugin_loaded\":false"), std::string::npos);
    EXPECT_NE(r.out.find("\"frames\":2"), std::string::npos);
}

}  // namespace
}  // namespace hostsim
