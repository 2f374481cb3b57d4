#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

// A triangle mesh on the CPU side: what the builders produce and a Geometry
// uploads. normals and uvs hold one entry per position.
struct MeshData {
    std::vector<glm::vec3> positions;
    std::vector<uint32_t> indices;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
};

// Whether every index names one of the positions.
inline bool indicesInRange(const MeshData& mesh) {
    for (uint32_t index : mesh.indices) {
        if (index >= mesh.positions.size()) {
            return false;
        }
    }
    return true;
}
