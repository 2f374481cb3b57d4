#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "render/MeshData.h"

class ViewFrustum;

// A large mesh's triangles grouped into square tiles across its two widest
// axes, each tile a run of consecutive indices with its bounding sphere, so
// that a draw can skip the tiles outside the view and draw the others
// nearest first. On a software rasterizer a fragment hidden by one drawn
// earlier is rejected by the depth test before it is shaded; drawn far to
// near, every hidden layer of the terrain would be shaded and then painted
// over. Opaque triangles give the same picture in any order. Meshes below
// kMinimumTriangles stay one run in their own order.
class TriangleRuns {
  public:
    static constexpr uint32_t kMinimumTriangles = 16384;
    static constexpr uint32_t kTilesPerSide = 8;

    struct Run {
        uint32_t firstIndex = 0;
        uint32_t indexCount = 0;
        glm::vec3 centre{0.0f};
        float radius = 0.0f;
    };

    TriangleRuns() = default;
    // Indices must be in range (the caller checks them first).
    explicit TriangleRuns(const MeshData& mesh);

    bool isSplit() const { return !runs.empty(); }
    const std::vector<Run>& getRuns() const { return runs; }
    // The mesh's indices regrouped tile by tile (each tile keeps its
    // triangles in the mesh's order); empty when the mesh is not split.
    // What the index buffer holds, released once uploaded.
    const std::vector<uint32_t>& getTiledIndices() const { return tiledIndices; }
    void releaseTiledIndices() { std::vector<uint32_t>().swap(tiledIndices); }

    // The runs that reach into the view, nearest to the eye first (by the
    // distance of their centres), as indices into getRuns(). The model
    // matrix places the mesh; margin widens every sphere. The returned list
    // is reused by the next call: nothing is allocated per frame.
    const std::vector<uint32_t>& visibleNearestFirst(const glm::mat4& model,
                                                     const ViewFrustum& frustum,
                                                     const glm::vec3& eye, float margin);

  private:
    std::vector<Run> runs;
    std::vector<uint32_t> tiledIndices;
    std::vector<float> distances;
    std::vector<uint32_t> order;
};
