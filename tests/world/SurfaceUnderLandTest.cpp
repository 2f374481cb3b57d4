#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "render/MeshBuilders.h"
#include "world/HeightmapTerrain.h"
#include "world/SurfaceUnderLand.h"

namespace {

// A 40 by 40 plateau 10 high over 5 by 5 samples, with one sample in the
// (-x, -z) corner down at 0: the land sinks to the ground over the two
// cells around it.
MeshData plateauWithPit() {
    std::vector<uint8_t> samples(25, 255);
    samples[0] = 0;
    return buildHeightmapMesh(samples.data(), 5, 5, 40.0f, 10.0f);
}

bool keeps(const MeshData& surface, glm::vec2 nearPoint) {
    for (std::size_t t = 0; t < surface.indices.size(); t += 3) {
        glm::vec2 centre(0.0f);
        for (std::size_t k = 0; k < 3; ++k) {
            const glm::vec3& p = surface.positions[surface.indices[t + k]];
            centre += glm::vec2(p.x, p.z) / 3.0f;
        }
        if (glm::distance(centre, nearPoint) < 3.0f) {
            return true;
        }
    }
    return false;
}

TEST(SurfaceUnderLand, DropsOnlyWhatTheLandCoversWithRoomToSpare) {
    const MeshData land = plateauWithPit();
    const glm::mat4 landToWorld = glm::translate(glm::mat4(1.0f), glm::vec3(0, -5, 0));
    // A sheet of 5-unit cells at height 0 reaching 10 units past the land on
    // every side; the land above it is 5 high but for the pit.
    const MeshData sheet = makeGrid(60.0f, 13);
    const std::size_t triangles = sheet.indices.size() / 3;

    MeshData surface = sheet;
    const std::size_t dropped =
        dropTrianglesUnderLand(surface, glm::mat4(1.0f), 1.0f, land, landToWorld, 2.0f);
    EXPECT_EQ(dropped, triangles - surface.indices.size() / 3);
    EXPECT_GT(dropped, 0u);
    EXPECT_TRUE(keeps(surface, {-17.5f, -17.5f}));  // over the pit
    EXPECT_TRUE(keeps(surface, {27.5f, 0.0f}));     // past the land's edge
    EXPECT_TRUE(keeps(surface, {0.0f, -22.0f}));    // reaching past it
    EXPECT_FALSE(keeps(surface, {7.5f, 7.5f}));     // under the plateau
    EXPECT_FALSE(keeps(surface, {12.5f, -12.5f}));
    EXPECT_EQ(surface.positions.size(), sheet.positions.size());

    // Waves that could reach within the clearance of the plateau keep it all.
    surface = sheet;
    EXPECT_EQ(dropTrianglesUnderLand(surface, glm::mat4(1.0f), 3.0f, land, landToWorld, 2.0f), 0u);
    EXPECT_EQ(surface.indices, sheet.indices);

    // So does a land whose sizes cannot be trusted.
    MeshData broken = land;
    broken.indices.back() = static_cast<uint32_t>(broken.positions.size());
    surface = sheet;
    EXPECT_EQ(dropTrianglesUnderLand(surface, glm::mat4(1.0f), 1.0f, broken, landToWorld, 2.0f),
              0u);
    EXPECT_EQ(surface.indices, sheet.indices);
}

}  // namespace
