#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GreyImage.h"
#include "world/HeightmapTerrain.h"

namespace {

std::string writeGreyImage(const std::string& name, int width, int height,
                           const std::vector<uint8_t>& samples) {
    return ::writeGreyImage("veltra_heightmap_test", name, width, height, samples);
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(HeightmapTerrainTest, TwoByTwoMapGivesTwoTrianglesSpanningTheSize) {
    const std::string path = writeGreyImage("two.pgm", 2, 2, {0, 255, 0, 0});
    testing::internal::CaptureStdout();
    const MeshData mesh = makeHeightmapTerrain(1000.0f, 100.0f, path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Terrain loaded!\nTerrain mesh created with 4 vertices and 2 triangles.\n");

    ASSERT_EQ(mesh.positions.size(), 4u);
    ASSERT_EQ(mesh.normals.size(), 4u);
    ASSERT_EQ(mesh.uvs.size(), 4u);
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 2, 3, 0, 3, 1}));
    // Row 0 of the file is the -z edge; a white sample is exactly heightScale.
    expectNear(mesh.positions[0], glm::vec3(-500, 0, -500));
    expectNear(mesh.positions[1], glm::vec3(500, 100, -500));
    expectNear(mesh.positions[2], glm::vec3(-500, 0, 500));
    expectNear(mesh.positions[3], glm::vec3(500, 0, 500));
    EXPECT_EQ(mesh.uvs[0], glm::vec2(0, 0));
    EXPECT_EQ(mesh.uvs[1], glm::vec2(1, 0));
    EXPECT_EQ(mesh.uvs[2], glm::vec2(0, 1));
    EXPECT_EQ(mesh.uvs[3], glm::vec2(1, 1));
}

TEST(HeightmapTerrainTest, BlackMapIsFlatWithUpNormals) {
    const int width = 5;
    const int height = 3;
    const std::vector<uint8_t> black(width * height, 0);
    const MeshData mesh = buildHeightmapMesh(black.data(), width, height, 40.0f, 10.0f);
    ASSERT_EQ(mesh.positions.size(), 15u);
    EXPECT_EQ(mesh.indices.size(), 6u * 4u * 2u);
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        EXPECT_EQ(mesh.positions[i].y, 0.0f);
        expectNear(mesh.normals[i], glm::vec3(0, 1, 0), 1e-6f);
    }
    // Spacing differs per axis: 40 over 4 columns, 40 over 2 rows.
    expectNear(mesh.positions[1], glm::vec3(-10, 0, -20));
    expectNear(mesh.positions[width], glm::vec3(-20, 0, 0));
    expectNear(mesh.positions.back(), glm::vec3(20, 0, 20));
}

TEST(HeightmapTerrainTest, NormalsLeanAwayFromHighGroundAndAreUnitLength) {
    // A ramp rising towards +x.
    const int width = 4;
    const int height = 4;
    std::vector<uint8_t> ramp;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            ramp.push_back(static_cast<uint8_t>(c * 80));
        }
    }
    const MeshData mesh = buildHeightmapMesh(ramp.data(), width, height, 3.0f, 1.0f);
    for (const glm::vec3& normal : mesh.normals) {
        EXPECT_NEAR(glm::length(normal), 1.0f, 1e-5f);
        EXPECT_LT(normal.x, 0.0f);
        EXPECT_GT(normal.y, 0.0f);
        EXPECT_NEAR(normal.z, 0.0f, 1e-5f);
    }
}

TEST(HeightmapTerrainTest, UnloadableMapGivesEmptyMeshAfterItsMessage) {
    const std::string path = "/nonexistent/veltra/Heightmap3.png";
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const MeshData mesh = makeHeightmapTerrain(1000.0f, 100.0f, path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.rfind("Failed to load height map: " + path + " (Error: ", 0), 0u) << errors;
    EXPECT_EQ(errors.back(), '\n');
    EXPECT_TRUE(mesh.positions.empty());
    EXPECT_TRUE(mesh.indices.empty());
    EXPECT_TRUE(mesh.normals.empty());
    EXPECT_TRUE(mesh.uvs.empty());
}

TEST(HeightmapTerrainTest, MapOnePixelWideOrHighGivesEmptyMesh) {
    for (const auto& [width, height] : {std::pair{1, 8}, std::pair{8, 1}, std::pair{1, 1}}) {
        const std::string path =
            writeGreyImage("thin.pgm", width, height, std::vector<uint8_t>(width * height, 128));
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        const MeshData mesh = makeHeightmapTerrain(1000.0f, 100.0f, path);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_NE(errors.find("Height map too small: " + path), std::string::npos) << errors;
        EXPECT_TRUE(mesh.positions.empty());
        EXPECT_TRUE(mesh.indices.empty());
    }
}

TEST(HeightmapTerrainTest, IndicesStayInsideTheVertexList) {
    const int width = 17;
    const int height = 9;
    std::vector<uint8_t> noise;
    for (int i = 0; i < width * height; ++i) {
        noise.push_back(static_cast<uint8_t>((i * 37) % 256));
    }
    const MeshData mesh = buildHeightmapMesh(noise.data(), width, height, 1000.0f, 100.0f);
    EXPECT_EQ(mesh.indices.size(), 6u * (width - 1) * (height - 1));
    for (uint32_t index : mesh.indices) {
        ASSERT_LT(index, mesh.positions.size());
    }
    for (const glm::vec3& p : mesh.positions) {
        EXPECT_GE(p.y, 0.0f);
        EXPECT_LE(p.y, 100.0f);
    }
}

}  // namespace
