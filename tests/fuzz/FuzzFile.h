#pragma once

// The input written to a file of this process's own, for the loaders that
// take a file name, as the game's do. The file goes when the process ends.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz_support {

// The same file on every call: the extension of the first call names it.
inline const std::string& inputPath(const char* extension) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("veltra-fuzz-" + std::to_string(::getpid()) + extension))
                                        .string();
    return path;
}

inline const std::string& writeInputFile(const uint8_t* data, size_t size, const char* extension) {
    const std::string& path = inputPath(extension);
    static const bool removedAtExit = std::atexit([] { std::remove(inputPath("").c_str()); }) == 0;
    (void)removedAtExit;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) {
        std::abort();
    }
    std::fclose(file);
    return path;
}

}  // namespace fuzz_support
