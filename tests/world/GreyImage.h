#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Writes a binary grey-scale PGM below the temporary folder `folder`; stb_image
// reads it like any PNG. `samples` may hold fewer values than the header
// claims, as a broken or hostile file would.
inline std::string writeGreyImage(const std::string& folder, const std::string& name, int width,
                                  int height, const std::vector<uint8_t>& samples) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / folder;
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size()));
    return path.string();
}
