#include "world/HeightmapTerrain.h"

#include <cstdio>
#include <iostream>

#include "world/ImageFile.h"

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

MeshData makeHeightmapTerrain(float size, float heightScale, const std::string& path) {
    const DecodedImage image = decodeImageFile(path, 1, false, kMaxHeightmapSide);
    if (image.failure == DecodedImage::Failure::TooLarge) {
        std::fprintf(stderr, "Height map too large: %s (%d x %d pixels, at most %d x %d)\n",
                     path.c_str(), image.width, image.height, kMaxHeightmapSide, kMaxHeightmapSide);
        std::fflush(stderr);
        return MeshData{};
    }
    if (!image.pixels) {
        std::fprintf(stderr, "Failed to load height map: %s (Error: %s)\n", path.c_str(),
                     image.reason.c_str());
        std::fflush(stderr);
        return MeshData{};
    }
    const int width = image.width;
    const int height = image.height;
    if (width < 2 || height < 2) {
        std::fprintf(stderr, "Height map too small: %s (%d x %d pixels, at least 2 x 2 needed)\n",
                     path.c_str(), width, height);
        std::fflush(stderr);
        return MeshData{};
    }
    std::cout << "Terrain loaded!" << std::endl;

    MeshData mesh = buildHeightmapMesh(image.pixels.get(), width, height, size, heightScale);
    std::cout << "Terrain mesh created with " << mesh.positions.size() << " vertices and "
              << mesh.indices.size() / 3 << " triangles." << std::endl;
    return mesh;
}
