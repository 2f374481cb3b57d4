#include "world/HeightmapTerrain.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include <stb_image.h>

#include "framework/Platform.h"

MeshData buildHeightmapMesh(const uint8_t* samples, int width, int height, float size,
                            float heightScale) {
    MeshData mesh;
    if (samples == nullptr || width < 2 || height < 2 || width > kMaxHeightmapSide ||
        height > kMaxHeightmapSide) {
        return mesh;
    }
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(height);
    const float dx = size / static_cast<float>(width - 1);
    const float dz = size / static_cast<float>(height - 1);
    const float half = size * 0.5f;

    const std::size_t vertexCount = w * h;
    mesh.positions.reserve(vertexCount);
    mesh.uvs.reserve(vertexCount);
    for (std::size_t r = 0; r < h; ++r) {
        for (std::size_t c = 0; c < w; ++c) {
            const float sample = static_cast<float>(samples[r * w + c]) / 255.0f;
            mesh.positions.emplace_back(static_cast<float>(c) * dx - half, sample * heightScale,
                                        static_cast<float>(r) * dz - half);
            mesh.uvs.emplace_back(static_cast<float>(c) / static_cast<float>(width - 1),
                                  static_cast<float>(r) / static_cast<float>(height - 1));
        }
    }

    mesh.indices.reserve(6 * (w - 1) * (h - 1));
    for (std::size_t r = 0; r + 1 < h; ++r) {
        for (std::size_t c = 0; c + 1 < w; ++c) {
            const auto a = static_cast<uint32_t>(r * w + c);
            const uint32_t b = a + 1;
            const auto d = static_cast<uint32_t>(a + w);
            const uint32_t e = d + 1;
            mesh.indices.insert(mesh.indices.end(), {a, d, e, a, e, b});
        }
    }

    // Every face counts the same, whatever its area. A face or vertex with no
    // direction (a zero-size map) keeps pointing up rather than turning NaN.
    mesh.normals.assign(vertexCount, glm::vec3(0.0f));
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const uint32_t i0 = mesh.indices[i];
        const uint32_t i1 = mesh.indices[i + 1];
        const uint32_t i2 = mesh.indices[i + 2];
        const glm::vec3& p0 = mesh.positions[i0];
        const glm::vec3 n = glm::cross(mesh.positions[i1] - p0, mesh.positions[i2] - p0);
        const float length = glm::length(n);
        if (length > 0.0f) {
            const glm::vec3 unit = n / length;
            mesh.normals[i0] += unit;
            mesh.normals[i1] += unit;
            mesh.normals[i2] += unit;
        }
    }
    for (glm::vec3& normal : mesh.normals) {
        const float length = glm::length(normal);
        normal = length > 0.0f ? normal / length : glm::vec3(0.0f, 1.0f, 0.0f);
    }
    return mesh;
}

namespace {

// No height map the terrain accepts comes near this; a larger file is not
// read into memory.
constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

// The whole file, read once (it may be a pipe, which cannot be read twice).
// False, with stb_image's style of reason, when it cannot be opened or is
// larger than kMaxFileBytes.
bool readWholeFile(const std::string& path, std::vector<stbi_uc>& bytes, const char*& reason) {
    std::ifstream file(platform::pathFromUtf8(path), std::ios::binary);
    if (!file) {
        reason = "can't fopen";
        return false;
    }
    char chunk[65536];
    while (file.read(chunk, sizeof(chunk)) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > kMaxFileBytes) {
            reason = "file too large";
            return false;
        }
    }
    return true;
}

}  // namespace

MeshData makeHeightmapTerrain(float size, float heightScale, const std::string& path) {
    std::vector<stbi_uc> file;
    const char* readFailure = nullptr;
    if (!readWholeFile(path, file, readFailure)) {
        std::fprintf(stderr, "Failed to load height map: %s (Error: %s)\n", path.c_str(),
                     readFailure);
        std::fflush(stderr);
        return MeshData{};
    }
    // stb_image takes the length as an int; kMaxFileBytes keeps it in range.
    const int fileLength = static_cast<int>(file.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    // The extent is checked from the header before anything is decoded: a
    // small file can describe a map whose mesh would not fit in memory.
    if (stbi_info_from_memory(file.data(), fileLength, &width, &height, &channels) != 0 &&
        (width > kMaxHeightmapSide || height > kMaxHeightmapSide)) {
        std::fprintf(stderr, "Height map too large: %s (%d x %d pixels, at most %d x %d)\n",
                     path.c_str(), width, height, kMaxHeightmapSide, kMaxHeightmapSide);
        std::fflush(stderr);
        return MeshData{};
    }
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels(
        stbi_load_from_memory(file.data(), fileLength, &width, &height, &channels, 1),
        &stbi_image_free);
    if (!pixels) {
        std::fprintf(stderr, "Failed to load height map: %s (Error: %s)\n", path.c_str(),
                     stbi_failure_reason());
        std::fflush(stderr);
        return MeshData{};
    }
    if (width < 2 || height < 2) {
        std::fprintf(stderr, "Height map too small: %s (%d x %d pixels, at least 2 x 2 needed)\n",
                     path.c_str(), width, height);
        std::fflush(stderr);
        return MeshData{};
    }
    std::cout << "Terrain loaded!" << std::endl;

    MeshData mesh = buildHeightmapMesh(pixels.get(), width, height, size, heightScale);
    std::cout << "Terrain mesh created with " << mesh.positions.size() << " vertices and "
              << mesh.indices.size() / 3 << " triangles." << std::endl;
    return mesh;
}
