#include "render/TriangleRuns.h"

#include <algorithm>
#include <array>
#include <cfloat>

#include "render/ViewFrustum.h"

namespace {

constexpr uint32_t kTileCount = TriangleRuns::kTilesPerSide * TriangleRuns::kTilesPerSide;

}  // namespace

TriangleRuns::TriangleRuns(const MeshData& mesh) {
    const size_t triangles = mesh.indices.size() / 3;
    if (triangles < kMinimumTriangles) {
        return;
    }
    glm::vec3 lowest(FLT_MAX);
    glm::vec3 highest(-FLT_MAX);
    for (const glm::vec3& position : mesh.positions) {
        lowest = glm::min(lowest, position);
        highest = glm::max(highest, position);
    }
    // The tiles span the two widest axes (x and z for a terrain).
    const glm::vec3 extent = highest - lowest;
    int narrowest = 0;
    for (int axis = 1; axis < 3; ++axis) {
        if (extent[axis] < extent[narrowest]) {
            narrowest = axis;
        }
    }
    const int across = narrowest == 0 ? 1 : 0;
    const int along = narrowest == 2 ? 1 : 2;
    const auto tileOf = [&](size_t triangle) {
        const glm::vec3 centroid = (mesh.positions[mesh.indices[3 * triangle]] +
                                    mesh.positions[mesh.indices[3 * triangle + 1]] +
                                    mesh.positions[mesh.indices[3 * triangle + 2]]) /
                                   3.0f;
        const auto cell = [&](int axis) {
            const float t =
                extent[axis] > 0.0f ? (centroid[axis] - lowest[axis]) / extent[axis] : 0.0f;
            return std::min(kTilesPerSide - 1,
                            static_cast<uint32_t>(std::max(0.0f, t) * kTilesPerSide));
        };
        return cell(along) * kTilesPerSide + cell(across);
    };

    // A counting sort by tile keeps each tile's triangles in mesh order.
    std::vector<uint32_t> tiles(triangles);
    std::array<size_t, kTileCount + 1> starts{};
    for (size_t t = 0; t < triangles; ++t) {
        tiles[t] = tileOf(t);
        ++starts[tiles[t] + 1];
    }
    for (uint32_t tile = 0; tile < kTileCount; ++tile) {
        starts[tile + 1] += starts[tile];
    }
    std::array<size_t, kTileCount> next{};
    std::copy(starts.begin(), starts.end() - 1, next.begin());
    tiledIndices.resize(triangles * 3);
    for (size_t t = 0; t < triangles; ++t) {
        const size_t slot = next[tiles[t]]++;
        std::copy_n(mesh.indices.begin() + static_cast<std::ptrdiff_t>(3 * t), 3,
                    tiledIndices.begin() + static_cast<std::ptrdiff_t>(3 * slot));
    }

    for (uint32_t tile = 0; tile < kTileCount; ++tile) {
        if (starts[tile] == starts[tile + 1]) {
            continue;
        }
        glm::vec3 tileLowest(FLT_MAX);
        glm::vec3 tileHighest(-FLT_MAX);
        for (size_t i = 3 * starts[tile]; i < 3 * starts[tile + 1]; ++i) {
            const glm::vec3& position = mesh.positions[tiledIndices[i]];
            tileLowest = glm::min(tileLowest, position);
            tileHighest = glm::max(tileHighest, position);
        }
        Run run;
        run.firstIndex = static_cast<uint32_t>(3 * starts[tile]);
        run.indexCount = static_cast<uint32_t>(3 * (starts[tile + 1] - starts[tile]));
        run.centre = 0.5f * (tileLowest + tileHighest);
        run.radius = 0.5f * glm::length(tileHighest - tileLowest);
        runs.push_back(run);
    }
    distances.resize(runs.size());
    order.reserve(runs.size());
}

const std::vector<uint32_t>& TriangleRuns::visibleNearestFirst(const glm::mat4& model,
                                                               const ViewFrustum& frustum,
                                                               const glm::vec3& eye, float margin) {
    const float longestAxis = largestScale(model);
    order.clear();
    for (uint32_t i = 0; i < runs.size(); ++i) {
        const glm::vec3 centre = glm::vec3(model * glm::vec4(runs[i].centre, 1.0f));
        if (!frustum.intersectsSphere(centre, runs[i].radius * longestAxis + margin)) {
            continue;
        }
        const glm::vec3 toEye = centre - eye;
        distances[i] = glm::dot(toEye, toEye);
        order.push_back(i);
    }
    // Ties keep the tiles' own order, so a frame's order depends only on
    // the view (std::sort sorts in place; a stable sort would allocate).
    std::sort(order.begin(), order.end(), [this](uint32_t a, uint32_t b) {
        return distances[a] < distances[b] || (distances[a] == distances[b] && a < b);
    });
    return order;
}
