#include "render/MeshBuilders.h"

#include <assimp/mesh.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// The float values the meshes are defined with, so every build of the game
// produces the same vertices.
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

constexpr uint32_t kTorusRings = 64;      // segments around the axis
constexpr uint32_t kTorusTubeSides = 16;  // segments around the tube
constexpr uint32_t kTorusRowLength = kTorusTubeSides + 1;

// Vertex indices are 32-bit; a mesh with more vertices cannot be indexed.
void requireIndexable(uint64_t rows, uint64_t rowLength, const char* builder) {
    if (rowLength != 0 && rows > std::numeric_limits<uint32_t>::max() / rowLength) {
        throw std::invalid_argument(std::string(builder) +
                                    ": too many vertices for 32-bit indices");
    }
}

}  // namespace

MeshData makeGrid(float size, uint32_t resolution) {
    if (resolution < 2) {
        throw std::invalid_argument("makeGrid: resolution must be at least 2, got " +
                                    std::to_string(resolution));
    }
    const uint32_t n = resolution;
    requireIndexable(n, n, "makeGrid");

    MeshData mesh;
    const float step = size / static_cast<float>(n - 1);
    const float half = size / 2.0f;
    mesh.positions.reserve(size_t{n} * n);
    mesh.normals.reserve(size_t{n} * n);
    mesh.uvs.reserve(size_t{n} * n);
    for (uint32_t i = 0; i < n; ++i) {
        for (uint32_t j = 0; j < n; ++j) {
            mesh.positions.emplace_back(static_cast<float>(j) * step - half, 0.0f,
                                        static_cast<float>(i) * step - half);
            mesh.normals.emplace_back(0.0f, 1.0f, 0.0f);
            mesh.uvs.emplace_back(static_cast<float>(j) / static_cast<float>(n - 1),
                                  static_cast<float>(i) / static_cast<float>(n - 1));
        }
    }
    mesh.indices.reserve(size_t{n - 1} * (n - 1) * 6);
    for (uint32_t i = 0; i + 1 < n; ++i) {
        for (uint32_t j = 0; j + 1 < n; ++j) {
            const uint32_t a = i * n + j;
            mesh.indices.insert(mesh.indices.end(), {a, a + n, a + 1, a + 1, a + n, a + n + 1});
        }
    }
    return mesh;
}

MeshData makeTorus(float size) {
    constexpr uint32_t kRings = kTorusRings;
    constexpr uint32_t kTubeSides = kTorusTubeSides;
    constexpr uint32_t kRowLength = kTorusRowLength;
    const float majorRadius = 0.5f * size;
    const float tubeRadius = 0.2f * majorRadius;

    MeshData mesh;
    const size_t vertexCount = size_t{kRings + 1} * kRowLength;
    mesh.positions.reserve(vertexCount);
    mesh.normals.reserve(vertexCount);
    mesh.uvs.reserve(vertexCount);
    for (uint32_t i = 0; i <= kRings; ++i) {
        const float u = static_cast<float>(i) * 0.015625f;
        const float theta = kTwoPi * u;
        const glm::vec3 tubeCentre(0.0f, majorRadius * std::sin(theta),
                                   majorRadius * std::cos(theta));
        for (uint32_t j = 0; j <= kTubeSides; ++j) {
            const float v = static_cast<float>(j) * 0.0625f;
            const float phi = kTwoPi * v;
            const float ringRadius = majorRadius + tubeRadius * std::cos(phi);
            const glm::vec3 position(tubeRadius * std::sin(phi), ringRadius * std::sin(theta),
                                     ringRadius * std::cos(theta));
            mesh.positions.push_back(position);
            mesh.normals.push_back(glm::normalize(position - tubeCentre));
            mesh.uvs.emplace_back(u, v);
        }
    }
    mesh.indices = makeTorusIndices(1);
    return mesh;
}

std::vector<uint32_t> makeTorusIndices(uint32_t step) {
    if (step == 0 || kTorusTubeSides % step != 0) {
        throw std::invalid_argument("makeTorusIndices: the step must divide " +
                                    std::to_string(kTorusTubeSides) + ", got " +
                                    std::to_string(step));
    }
    // Rings i - step and i, tube sides j and j + step: two triangles a cell.
    const uint32_t ringStep = step * kTorusRowLength;
    std::vector<uint32_t> indices;
    indices.reserve(size_t{kTorusRings / step} * (kTorusTubeSides / step) * 6);
    for (uint32_t i = step; i <= kTorusRings; i += step) {
        for (uint32_t j = 0; j < kTorusTubeSides; j += step) {
            const uint32_t k = i * kTorusRowLength + j;
            indices.insert(indices.end(), {k - ringStep, k, k - ringStep + step, k, k + step,
                                           k - ringStep + step});
        }
    }
    return indices;
}

MeshData makeSphere(uint32_t stacks, uint32_t slices, float radius) {
    if (stacks == 0 || slices == 0) {
        throw std::invalid_argument("makeSphere: stacks and slices must be at least 1, got " +
                                    std::to_string(stacks) + " and " + std::to_string(slices));
    }
    const uint64_t rowLength = uint64_t{slices} + 1;
    requireIndexable(uint64_t{stacks} + 1, rowLength, "makeSphere");

    MeshData mesh;
    const size_t vertexCount = (size_t{stacks} + 1) * rowLength;
    mesh.positions.reserve(vertexCount);
    mesh.normals.reserve(vertexCount);
    mesh.uvs.reserve(vertexCount);
    for (uint32_t i = 0; i <= stacks; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(stacks);
        for (uint32_t j = 0; j <= slices; ++j) {
            const float s = static_cast<float>(j) / static_cast<float>(slices);
            const glm::vec3 position(std::cos(kTwoPi * s) * std::sin(kPi * t) * radius,
                                     std::cos(kPi * t) * radius,
                                     std::sin(kTwoPi * s) * std::sin(kPi * t) * radius);
            mesh.positions.push_back(position);
            mesh.normals.push_back(glm::normalize(position));
            mesh.uvs.emplace_back(s, t);
        }
    }
    mesh.indices = makeSphereIndices(stacks, slices, 1);
    return mesh;
}

std::vector<uint32_t> makeSphereIndices(uint32_t stacks, uint32_t slices, uint32_t step) {
    if (step == 0 || stacks % step != 0 || slices % step != 0) {
        throw std::invalid_argument("makeSphereIndices: the step must divide " +
                                    std::to_string(stacks) + " and " + std::to_string(slices) +
                                    ", got " + std::to_string(step));
    }
    requireIndexable(uint64_t{stacks} + 1, uint64_t{slices} + 1, "makeSphereIndices");
    // Stacks i and i + step, slices j and j + step: two triangles a cell.
    const uint32_t stackStep = step * (slices + 1);
    std::vector<uint32_t> indices;
    indices.reserve(size_t{stacks / step} * (slices / step) * 6);
    for (uint32_t i = 0; i < stacks; i += step) {
        for (uint32_t j = 0; j < slices; j += step) {
            const uint32_t a = i * (slices + 1) + j;
            const uint32_t b = a + stackStep;
            indices.insert(indices.end(), {a, b, a + step, a + step, b, b + step});
        }
    }
    return indices;
}

MeshData meshFromImport(const aiMesh& mesh) {
    MeshData data;
    const uint32_t vertexCount = mesh.mVertices != nullptr ? mesh.mNumVertices : 0;
    const bool hasNormals = mesh.mNormals != nullptr;
    const aiVector3D* uvs = mesh.mTextureCoords[0];
    data.positions.reserve(vertexCount);
    if (hasNormals) {
        data.normals.reserve(vertexCount);
    }
    data.uvs.reserve(vertexCount);
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const aiVector3D& p = mesh.mVertices[v];
        data.positions.emplace_back(p.x, p.y, p.z);
        if (hasNormals) {
            const aiVector3D& n = mesh.mNormals[v];
            data.normals.emplace_back(n.x, n.y, n.z);
        }
        data.uvs.push_back(uvs != nullptr ? glm::vec2(uvs[v].x, uvs[v].y) : glm::vec2(0.0f));
    }

    // Points and lines survive triangulation; drawn as triangles they would
    // shift every later triangle, so only real triangles are taken, and only
    // those whose corners exist.
    data.indices.reserve(size_t{mesh.mNumFaces} * 3);
    for (uint32_t f = 0; f < mesh.mNumFaces && mesh.mFaces != nullptr; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3 || face.mIndices == nullptr) {
            continue;
        }
        if (face.mIndices[0] >= vertexCount || face.mIndices[1] >= vertexCount ||
            face.mIndices[2] >= vertexCount) {
            continue;
        }
        data.indices.insert(data.indices.end(), face.mIndices, face.mIndices + 3);
    }
    return data;
}
