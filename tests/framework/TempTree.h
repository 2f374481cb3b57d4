#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "framework/AssetPath.h"
#include "support/PortableTest.h"

// A fresh directory tree under the system's temporary directory, removed
// again at the end of the test. Files are written relative to its root.
class TempTree {
  public:
    TempTree() {
        // Named by test and by order within the test, so a death-test child
        // that runs this one test alone arrives at the same names.
        static std::string lastTest;
        static int counter = 0;
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string test = info != nullptr
                                     ? std::string(info->test_suite_name()) + "." + info->name()
                                     : std::string("tree");
        if (test != lastTest) {
            lastTest = test;
            counter = 0;
        }
        std::string name =
            "veltra-test-" + ownerId() + "-" + test + "-" + std::to_string(counter++);
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        root = std::filesystem::temp_directory_path() / name;
        // A death-test child re-runs the test from its start and rebuilds the
        // same tree; only the owning process clears and removes it.
        owner = ownerId() == std::to_string(portable_test::processId());
        if (owner) {
            std::filesystem::remove_all(root);
        }
        std::filesystem::create_directories(root);
    }
    ~TempTree() {
        setAssetSearchStartDirectory({});
        if (owner) {
            std::error_code error;
            std::filesystem::remove_all(root, error);
        }
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& path() const { return root; }
    std::filesystem::path operator/(const std::string& relative) const { return root / relative; }

    std::filesystem::path write(const std::string& relative,
                                const std::string& content = "") const {
        const std::filesystem::path file = root / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream stream(file, std::ios::binary);
        stream << content;
        return file;
    }
    std::filesystem::path makeDirectory(const std::string& relative) const {
        const std::filesystem::path directory = root / relative;
        std::filesystem::create_directories(directory);
        return directory;
    }

  private:
    // The process that made the tree first; death-test children (which
    // re-execute the test binary) inherit it through the environment, so
    // parent and child agree on every path.
    static std::string ownerId() {
        const char* inherited = std::getenv("VELTRA_TEMP_TREE_OWNER");
        if (inherited != nullptr) {
            return inherited;
        }
        const std::string id = std::to_string(portable_test::processId());
        portable_test::setEnvironment("VELTRA_TEMP_TREE_OWNER", id.c_str());
        return id;
    }

    std::filesystem::path root;
    bool owner = false;
};

// Death-test children read an empty standard input (the fatal ending waits
// for one character) and write their standard output where EXPECT_EXIT
// looks: standard error.
inline void prepareFatalChild() {
    if (std::freopen(portable_test::nullDevice(), "r", stdin) == nullptr) {
        std::abort();
    }
    std::fflush(stdout);
    portable_test::joinStdoutToStderr();
}

#define EXPECT_FATAL_EXIT(statement, regex) \
    EXPECT_EXIT(                            \
        {                                   \
            prepareFatalChild();            \
            statement;                      \
        },                                  \
        ::testing::ExitedWithCode(1), regex)
