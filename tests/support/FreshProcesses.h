// Test environment for programs whose cases end the process or need a start-up of their own.
// Each such scenario re-runs the test program for the one case instead of forking it: a fork of
// a process with a live GL context (and its driver threads) can hang, and the scenario wants
// fresh singletons. The program also works in a directory of its own, so that its pelmora.log
// and the absence of a pelmora.conf do not depend on other test programs. Both are set once the
// flags are parsed: gtest re-runs the program from the directory it was started in.
#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace testsupport {

class FreshProcesses : public testing::Environment {
public:
    explicit FreshProcesses(std::string runDirectory) : runDirectory_(std::move(runDirectory)) {}
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        const std::filesystem::path dir =
            std::filesystem::path(PELMORA_BINARY_DIR) / "tests" / runDirectory_;
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    }

private:
    std::string runDirectory_;
};

} // namespace testsupport
