// The four DDS surface textures and the terrain's height map, read with the
// game's own loaders.
#include <gtest/gtest.h>

#include <stb_image.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "AssetTestSupport.h"
#include "framework/DdsLoader.h"
#include "framework/Gl.h"
#include "world/HeightmapTerrain.h"

using asset_test::assetPath;

namespace {

bool isPowerOfTwo(uint32_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

const char* const kTextures[] = {"goal_texture.dds", "radiva_texture.dds", "Grass_Ground.dds",
                                 "water.dds"};

// The level draws the terrain at scale 1.5 around this point; the water
// plane, the rings' box and the goal are placed in world space.
constexpr float kTerrainScale = 1.5f;
const glm::vec3 kTerrainOrigin(0.0f, -25.0f, -400.0f);
constexpr float kWaterY = -16.0f;
constexpr float kLowestRingY = 7.0f;
constexpr float kHighestRingY = 45.0f;

glm::vec3 toWorld(const glm::vec3& local) {
    return kTerrainOrigin + kTerrainScale * local;
}

}  // namespace

TEST(TextureAssets, EachDdsLoadsAsBlockCompressedPowerOfTwo) {
    for (const char* name : kTextures) {
        const DDSImage image = loadDDS(assetPath(std::string("textures/") + name));
        ASSERT_TRUE(image.isLoaded()) << name;
        EXPECT_TRUE(image.internalFormat == GL_COMPRESSED_RGBA_S3TC_DXT1_EXT ||
                    image.internalFormat == GL_COMPRESSED_RGBA_S3TC_DXT3_EXT ||
                    image.internalFormat == GL_COMPRESSED_RGBA_S3TC_DXT5_EXT)
            << name;
        EXPECT_TRUE(isPowerOfTwo(image.width) && isPowerOfTwo(image.height)) << name;
        EXPECT_LE(image.width, 512u) << name;
        EXPECT_LE(image.height, 512u) << name;
        EXPECT_EQ(image.data.size(), image.size) << name;
    }
}

TEST(TextureAssets, DdsHeaderClaimsExactlyTheTopLevel) {
    // The loader reads as many bytes as the header's linear-size field names;
    // ours must name level 0 and the file must hold them after the header.
    for (const char* name : kTextures) {
        std::ifstream in(assetPath(std::string("textures/") + name), std::ios::binary);
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                               std::istreambuf_iterator<char>());
        ASSERT_GE(bytes.size(), 128u) << name;
        auto u32 = [&](size_t at) {
            return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
                   (static_cast<uint32_t>(bytes[at + 2]) << 16) |
                   (static_cast<uint32_t>(bytes[at + 3]) << 24);
        };
        const uint32_t height = u32(12);
        const uint32_t width = u32(16);
        const uint32_t linearSize = u32(20);
        const std::string fourCc(bytes.begin() + 84, bytes.begin() + 88);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "DDS ") << name;
        ASSERT_TRUE(fourCc == "DXT1" || fourCc == "DXT3" || fourCc == "DXT5") << name;
        const uint32_t blockBytes = fourCc == "DXT1" ? 8 : 16;
        EXPECT_EQ(linearSize, ((width + 3) / 4) * ((height + 3) / 4) * blockBytes) << name;
        EXPECT_GE(bytes.size(), 128u + linearSize) << name;
    }
}

TEST(TextureAssets, SurfaceTexturesAreNeitherFlatNorBlank) {
    // A texture of one colour, or one that decodes to black, would pass the
    // format checks and still show nothing on the terrain or the water.
    for (const char* name : kTextures) {
        const DDSImage image = loadDDS(assetPath(std::string("textures/") + name));
        ASSERT_TRUE(image.isLoaded()) << name;
        glm::vec3 lo(1.0f), hi(0.0f), sum(0.0f);
        int count = 0;
        for (float t = 0.01f; t < 1.0f; t += 0.037f) {
            for (float s = 0.01f; s < 1.0f; s += 0.041f) {
                const glm::vec3 c = asset_test::sampleBlockTexel(image, {s, t});
                lo = glm::min(lo, c);
                hi = glm::max(hi, c);
                sum += c;
                ++count;
            }
        }
        const glm::vec3 mean = sum / static_cast<float>(count);
        EXPECT_GT(glm::length(hi - lo), 0.1f) << name;
        EXPECT_GT(mean.r + mean.g + mean.b, 0.15f) << name;
    }
}

TEST(TextureAssets, GrassIsGreenAndWaterIsBlue) {
    auto mean = [](const char* name) {
        const DDSImage image = loadDDS(assetPath(std::string("textures/") + name));
        glm::vec3 sum(0.0f);
        for (int i = 0; i < 400; ++i) {
            sum +=
                asset_test::sampleBlockTexel(image, {static_cast<float>(i % 20) / 20.0f + 0.02f,
                                                     static_cast<float>(i / 20) / 20.0f + 0.02f});
        }
        return sum / 400.0f;
    };
    const glm::vec3 grass = mean("Grass_Ground.dds");
    EXPECT_GT(grass.g, grass.r);
    EXPECT_GT(grass.g, grass.b);
    const glm::vec3 water = mean("water.dds");
    EXPECT_GT(water.b, water.r);
    EXPECT_GT(water.b, water.g);
}

TEST(HeightMapAsset, IsAGreyImageOfAboutTheGridTheTerrainExpects) {
    int width = 0, height = 0, channels = 0;
    const std::string path = assetPath("textures/Heightmaps/Heightmap3.png");
    ASSERT_EQ(stbi_info(path.c_str(), &width, &height, &channels), 1) << stbi_failure_reason();
    EXPECT_EQ(channels, 1);
    EXPECT_GE(width, 2);
    EXPECT_GE(height, 2);
    // About 16,600 vertices: far away, finer triangles would each cover less
    // than a pixel, and a software rasterizer shades a block for each.
    EXPECT_NEAR(width * height, 16641, 2000);
}

TEST(HeightMapAsset, PlayAreaIsALakeValleyRingedByHills) {
    const MeshData mesh =
        makeHeightmapTerrain(1000.0f, 100.0f, assetPath("textures/Heightmaps/Heightmap3.png"));
    ASSERT_FALSE(mesh.positions.empty());

    float highestInBox = -1e9f, lowestInBox = 1e9f, highestAround = -1e9f;
    float nearestToGoal = 1e9f, goalGroundY = 0.0f;
    for (const glm::vec3& local : mesh.positions) {
        const glm::vec3 p = toWorld(local);
        const bool inBox = p.x >= -170.0f && p.x <= -30.0f && p.z >= -500.0f && p.z <= -200.0f;
        if (inBox) {
            highestInBox = std::max(highestInBox, p.y);
            lowestInBox = std::min(lowestInBox, p.y);
        }
        const float toGoal = glm::length(glm::vec2(p.x + 100.0f, p.z + 450.0f));
        if (toGoal < nearestToGoal) {
            nearestToGoal = toGoal;
            goalGroundY = p.y;
        }
        // Hills within a few hundred units of the play area, outside it.
        if (!inBox && std::abs(p.x + 100.0f) < 400.0f && std::abs(p.z + 350.0f) < 450.0f) {
            highestAround = std::max(highestAround, p.y);
        }
    }
    // No ring may be buried, and the valley floor lies under the water.
    EXPECT_LT(highestInBox, kLowestRingY);
    EXPECT_LT(lowestInBox, kWaterY);
    EXPECT_LT(goalGroundY, kWaterY);
    EXPECT_GT(highestAround, kHighestRingY);
}

TEST(HeightMapAsset, GroundBelowTheWaterLineLiesUnderTheWaterSheet) {
    // The water is a 1000 x 1000 sheet centred on (300, -16, -500); ground
    // under its level anywhere else would show as a dry pit.
    const MeshData mesh =
        makeHeightmapTerrain(1000.0f, 100.0f, assetPath("textures/Heightmaps/Heightmap3.png"));
    ASSERT_FALSE(mesh.positions.empty());
    int dryPits = 0;
    for (const glm::vec3& local : mesh.positions) {
        const glm::vec3 p = toWorld(local);
        const bool underSheet = p.x >= -200.0f && p.x <= 800.0f && p.z >= -1000.0f && p.z <= 0.0f;
        dryPits += !underSheet && p.y < kWaterY;
    }
    EXPECT_EQ(dryPits, 0);
}
