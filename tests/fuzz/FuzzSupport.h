#pragma once

// Shared by the fuzz targets: the fatal ending turned into an exception the
// target catches, console output sent nowhere, and a small private tree for
// the asset search. Included by exactly one source file per target.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <streambuf>
#include <string>
#include <system_error>

#include "framework/Fatal.h"

struct FatalEnding {};

// The game's ending waits for a key and exits; a fuzz target must go on.
[[noreturn]] void waitForKeyAndExit() {
    throw FatalEnding{};
}

namespace fuzz_support {

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// Messages are part of what is exercised, but printing them would bury the
// fuzzer's own output and slow every run.
inline void silenceConsole() {
    static NullBuffer nothing;
    std::cout.rdbuf(&nothing);
    std::cerr.rdbuf(&nothing);
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// <tmp>/veltra-fuzz-<pid>/ holding CMakeLists.txt (the tree's top), a few
// assets and a build/bin directory to start the search from.
inline std::filesystem::path makeTree() {
    static const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("veltra-fuzz-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    });
    writeFile(root / "CMakeLists.txt", "# top\n");
    writeFile(root / "assets/shaders/a.vert", "#version 330 core\n");
    writeFile(root / "assets/settings/camera_front.ini", "[camera]\nfov = 75\n");
    writeFile(root / "assets/dup.txt", "one\n");
    writeFile(root / "build/assets/dup.txt", "two\n");
    writeFile(root / "build/bin/local.txt", "here\n");
    std::filesystem::create_directories(root / "build/bin/assets/empty_dir");
    return root;
}

}  // namespace fuzz_support
