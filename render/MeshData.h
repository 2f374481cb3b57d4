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
