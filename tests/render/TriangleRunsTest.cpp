#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "render/Geometry.h"
#include "render/MeshBuilders.h"
#include "render/TriangleRuns.h"
#include "render/ViewFrustum.h"
#include "support/GlTestContext.h"
#include "world/HeightmapTerrain.h"

namespace {

// A 257 by 257 height field over 1000 by 1000 units, like the game's
// terrain: 131072 triangles in rows along +z.
MeshData terrainLikeMesh() {
    const int side = 257;
    std::vector<uint8_t> samples(static_cast<size_t>(side * side));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<uint8_t>((i * 37) % 200);
    }
    return buildHeightmapMesh(samples.data(), side, side, 1000.0f, 100.0f);
}

glm::mat4 viewProjection(const glm::vec3& eye, const glm::vec3& forward) {
    return glm::perspective(glm::radians(60.0f), 1.5f, 0.1f, 5000.0f) *
           glm::lookAt(eye, eye + forward, glm::vec3(0.0f, 1.0f, 0.0f));
}

TEST(TriangleRuns, SmallMeshesStayWhole) {
    EXPECT_FALSE(TriangleRuns(makeSphere(32, 64, 0.5f)).isSplit());
    EXPECT_FALSE(TriangleRuns(makeGrid(1000.0f, 50)).isSplit());
    EXPECT_FALSE(TriangleRuns(MeshData{}).isSplit());
}

TEST(TriangleRuns, ALargeMeshIsRegroupedIntoTilesThatBoundTheirTriangles) {
    const MeshData mesh = terrainLikeMesh();
    const TriangleRuns runs(mesh);
    ASSERT_TRUE(runs.isSplit());
    ASSERT_EQ(runs.getRuns().size(), TriangleRuns::kTilesPerSide * TriangleRuns::kTilesPerSide);
    const std::vector<uint32_t>& tiled = runs.getTiledIndices();
    ASSERT_EQ(tiled.size(), mesh.indices.size());
    uint32_t next = 0;
    for (const TriangleRuns::Run& run : runs.getRuns()) {
        EXPECT_EQ(run.firstIndex, next);
        EXPECT_EQ(run.indexCount % 3, 0u);
        next += run.indexCount;
        // A 1000 by 1000 field in 8 by 8 tiles: each is 125 units square.
        EXPECT_LT(run.radius, 0.5f * std::sqrt(2.0f * 125.0f * 125.0f + 100.0f * 100.0f) + 10.0f);
        for (uint32_t i = run.firstIndex; i < run.firstIndex + run.indexCount; ++i) {
            ASSERT_LE(glm::length(mesh.positions[tiled[i]] - run.centre), run.radius + 1e-3f);
        }
    }
    EXPECT_EQ(next, mesh.indices.size());
    // The same triangles, each once, corners in their own order.
    std::multiset<std::array<uint32_t, 3>> before;
    std::multiset<std::array<uint32_t, 3>> after;
    for (size_t i = 0; i < mesh.indices.size(); i += 3) {
        before.insert({mesh.indices[i], mesh.indices[i + 1], mesh.indices[i + 2]});
        after.insert({tiled[i], tiled[i + 1], tiled[i + 2]});
    }
    EXPECT_EQ(before, after);
}

TEST(TriangleRuns, OnlyRunsInViewAreDrawnAndTheNearestComeFirst) {
    TriangleRuns runs(terrainLikeMesh());
    // Beyond the +z edge of the field, looking down -z across it: the tiles
    // near +z are nearest.
    const glm::vec3 eye(0.0f, 60.0f, 1100.0f);
    const ViewFrustum ahead(viewProjection(eye, glm::vec3(0.0f, -0.1f, -1.0f)));
    const std::vector<uint32_t>& order =
        runs.visibleNearestFirst(glm::mat4(1.0f), ahead, eye, 0.0f);
    ASSERT_EQ(order.size(), runs.getRuns().size());
    // Tiles go row by row from -z: the nearest lies in the last row, the
    // farthest in the first.
    const uint32_t perSide = TriangleRuns::kTilesPerSide;
    EXPECT_GE(order.front(), perSide * (perSide - 1));
    EXPECT_LT(order.back(), perSide);
    for (size_t i = 1; i < order.size(); ++i) {
        const auto& all = runs.getRuns();
        EXPECT_LE(glm::length(all[order[i - 1]].centre - eye),
                  glm::length(all[order[i]].centre - eye));
    }

    // Turned around, the field is behind: nothing to draw. The list is the
    // same storage as before, so no frame allocates.
    const uint32_t* storage = order.data();
    const ViewFrustum behind(viewProjection(eye, glm::vec3(0.0f, 0.0f, 1.0f)));
    EXPECT_TRUE(runs.visibleNearestFirst(glm::mat4(1.0f), behind, eye, 0.0f).empty());
    EXPECT_EQ(runs.visibleNearestFirst(glm::mat4(1.0f), ahead, eye, 0.0f).data(), storage);

    // Placed by the model matrix: moved 5000 units away the field is beyond
    // the far plane.
    const glm::mat4 farAway = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -6000.0f));
    EXPECT_TRUE(runs.visibleNearestFirst(farAway, ahead, eye, 0.0f).empty());
}

// The draw sends exactly the triangles of the runs in view to the
// rasterizer, counted before clipping.
TEST(TriangleRuns, GeometryDrawsOnlyTheRunsInView) {
    REQUIRE_GL_CONTEXT();
    auto program = std::make_shared<Shader>();
    Geometry terrain(glm::mat4(1.0f), terrainLikeMesh(), nullptr, 2);
    GLuint query = 0;
    glGenQueries(1, &query);
    const auto primitivesDrawn = [&](const glm::vec3& eye, const glm::vec3& forward) {
        program->use();
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        terrain.drawInView(glm::mat4(1.0f), ViewFrustum(viewProjection(eye, forward)), eye, 0.0f);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        program->unuse();
        GLuint count = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        return count;
    };
    // From high above the middle, looking down: everything.
    EXPECT_EQ(primitivesDrawn(glm::vec3(0.0f, 2000.0f, 0.0f), glm::vec3(0.0f, -1.0f, 0.001f)),
              131072u);
    // From the middle looking along +z at the horizon: the runs behind the
    // eye (rows at negative z, the first runs) are left out.
    const glm::vec3 eye(0.0f, 30.0f, 0.0f);
    const glm::vec3 forward(0.0f, 0.0f, 1.0f);
    TriangleRuns runs(terrainLikeMesh());
    uint32_t expected = 0;
    for (uint32_t index : runs.visibleNearestFirst(
             glm::mat4(1.0f), ViewFrustum(viewProjection(eye, forward)), eye, 0.0f)) {
        expected += runs.getRuns()[index].indexCount / 3;
    }
    EXPECT_LT(expected, 131072u);
    EXPECT_GT(expected, 0u);
    EXPECT_EQ(primitivesDrawn(eye, forward), expected);
    glDeleteQueries(1, &query);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
