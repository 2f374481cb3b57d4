#include "framework/AssetPath.h"

#include <fstream>
#include <iostream>
#include <system_error>
#include <vector>

#include "framework/Fatal.h"
#include "framework/Platform.h"

namespace fs = std::filesystem;

namespace {

fs::path searchStartOverride;

constexpr size_t kExecutablePathCapacity = 1337;

[[noreturn]] void failExecutablePath() {
    // The message is kept identical on every platform.
    std::cout << "Error retrieving executable path on Windows!" << std::endl;
    waitForKeyAndExit();
}

fs::path executablePath() {
    fs::path path = platform::executablePath(kExecutablePathCapacity);
    if (path.empty()) {
        failExecutablePath();
    }
    return path;
}

fs::path searchStartDirectory() {
    if (!searchStartOverride.empty()) {
        return searchStartOverride;
    }
    return executablePath().parent_path();
}

// Names may be written with either separator; POSIX paths only know '/'.
// On Windows the found path is given with its own separator throughout.
fs::path toNativePath(const std::string& name) {
    std::string converted = name;
    if (fs::path::preferred_separator == '/') {
        for (char& c : converted) {
            if (c == '\\') {
                c = '/';
            }
        }
    }
    return platform::pathFromUtf8(converted).make_preferred();
}

[[noreturn]] void failAmbiguous(const std::string& relativePath,
                                const std::vector<std::string>& candidates) {
    std::cout << "Ambiguous asset file path: '" << relativePath << "'"
              << "Found this path at multiple locations. Don't know which one shall be used. "
                 "Candidates are:"
              << std::endl;
    for (const std::string& candidate : candidates) {
        std::cout << "  - " << candidate << std::endl;
    }
    std::cout << "Remove all duplicates to fix this!" << std::endl;
    waitForKeyAndExit();
}

bool isReadableFile(const fs::path& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        return false;
    }
    std::ifstream stream(path);
    return stream.is_open();
}

}  // namespace

bool fileExists(const std::string& path) {
    return isReadableFile(platform::pathFromUtf8(path));
}

void setAssetSearchStartDirectory(const fs::path& directory) {
    searchStartOverride = directory;
}

std::string resolveAssetPath(const std::string& relativePath) {
    const fs::path name = toNativePath(relativePath);
    // Joining an absolute name to any directory gives the name itself, so
    // climbing would find it once per level and call it ambiguous.
    if (name.is_absolute()) {
        return isReadableFile(name) ? platform::utf8FromPath(name) : std::string();
    }

    std::vector<std::string> candidates;
    // A trailing separator would make "dir/" and "dir" two levels of the
    // climb, and the same file two candidates.
    fs::path directory = searchStartDirectory().lexically_normal();
    if (!directory.has_filename() && directory.has_relative_path()) {
        directory = directory.parent_path();
    }
    while (true) {
        const fs::path joined = directory / name;
        if (isReadableFile(joined)) {
            candidates.push_back(platform::utf8FromPath(joined));
        }
        // The directory holding CMakeLists.txt is the source-tree root.
        if (isReadableFile(directory / "CMakeLists.txt")) {
            break;
        }
        const fs::path parent = directory.parent_path();
        if (parent == directory || parent.empty()) {
            break;
        }
        directory = parent;
    }

    if (candidates.empty()) {
        return std::string();
    }
    if (candidates.size() > 1) {
        failAmbiguous(relativePath, candidates);
    }
    return candidates.front();
}
