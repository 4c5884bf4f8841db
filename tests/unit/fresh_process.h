#pragma once
// The plug-in's host state (detected build, installed hooks, event lists) is
// set once per process. Tests of that one-time behaviour run their body in a
// freshly started copy of the test program, so they hold however the tests
// are run.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace corvalen::test {

// Inside a fresh-process body: report and fail the body.
inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

template <typename Body>
void run_in_fresh_process(Body body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            body();
            std::fflush(stdout);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace corvalen::test
