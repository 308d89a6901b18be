// A fresh directory for one test's files under the system's temporary folder, named after the
// test and the process: two test runs on the same machine (a developer's and a CI build, or the
// same test built twice) never remove each other's files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace vantrel::testing {

inline std::filesystem::path ScratchDirectory(const std::string& prefix) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = test ? test->name() : "outside-a-test";
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (prefix + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace vantrel::testing
