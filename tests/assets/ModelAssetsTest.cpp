// The flyer and the goal gate: they import with the game's loader, and their
// texture coordinates, as the game hands them to the GPU, land on the right
// parts of their DDS textures.
#include <gtest/gtest.h>

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <string>

#include "AssetTestSupport.h"
#include "framework/DdsLoader.h"
#include "render/Geometry.h"
#include "render/MeshBuilders.h"
#include "render/ModelLoader.h"
#include "support/GlTestContext.h"

using asset_test::assetPath;

namespace {

const std::string kFlyer = "models/radiva_textured_mesh.glb";
const std::string kGate = "models/smaller_goal_textured_mesh.glb";

// The first mesh of a model as the game builds it (same importer flags).
MeshData firstMesh(const std::string& model, unsigned& meshCount) {
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFile(assetPath(model), aiProcess_CalcTangentSpace | aiProcess_Triangulate |
                                                aiProcess_GenSmoothNormals | aiProcess_FlipUVs);
    meshCount = scene != nullptr ? scene->mNumMeshes : 0;
    if (meshCount == 0 || !scene->mMeshes[0]->HasTextureCoords(0)) {
        return MeshData{};
    }
    return meshFromImport(*scene->mMeshes[0]);
}

bool isGold(const glm::vec3& c) {
    return c.r > 0.6f && c.g > 0.4f && c.r > c.b + 0.3f;
}

}  // namespace

TEST(ModelAssets, EachModelGivesTheGameATriangleMesh) {
    REQUIRE_GL_CONTEXT();
    for (const std::string& model : {kFlyer, kGate}) {
        testing::internal::CaptureStderr();
        const auto geometries = loadModel(assetPath(model), nullptr, 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << model;
        ASSERT_FALSE(geometries.empty()) << model;
        const uint32_t indices = geometries.front()->getIndexCount();
        EXPECT_GT(indices, 0u) << model;
        EXPECT_EQ(indices % 3, 0u) << model;
    }
}

TEST(ModelAssets, SizesSuitTheScalesTheLevelDrawsThemAt) {
    REQUIRE_GL_CONTEXT();
    // The player is drawn at scale 1 and the goal at scale 7.
    const glm::vec3 flyer = loadModel(assetPath(kFlyer), nullptr, 1).front()->getExtent();
    EXPECT_GE(std::max({flyer.x, flyer.y, flyer.z}), 1.0f);
    EXPECT_LE(std::max({flyer.x, flyer.y, flyer.z}), 2.5f);
    const glm::vec3 gate = loadModel(assetPath(kGate), nullptr, 4).front()->getExtent();
    EXPECT_GE(gate.y, 1.0f);
    EXPECT_LE(gate.y, 2.2f);
}

TEST(ModelAssets, OneMeshWithTextureCoordinatesInsideTheTexture) {
    for (const std::string& model : {kFlyer, kGate}) {
        unsigned meshes = 0;
        const MeshData mesh = firstMesh(model, meshes);
        // The game keeps only the first mesh of each model, so there is one.
        EXPECT_EQ(meshes, 1u) << model;
        ASSERT_FALSE(mesh.uvs.empty()) << model << " has no texture coordinates";
        ASSERT_EQ(mesh.uvs.size(), mesh.positions.size()) << model;
        for (const glm::vec2& uv : mesh.uvs) {
            ASSERT_TRUE(uv.x >= 0.0f && uv.x <= 1.0f && uv.y >= 0.0f && uv.y <= 1.0f) << model;
        }
        EXPECT_EQ(mesh.indices.size() % 3, 0u) << model;
    }
}

TEST(ModelAssets, FlyerFacesMinusZWithGoldBeakAndBrightWingTips) {
    unsigned meshes = 0;
    const MeshData mesh = firstMesh(kFlyer, meshes);
    ASSERT_FALSE(mesh.positions.empty());
    const DDSImage texture = loadDDS(assetPath("textures/radiva_texture.dds"));
    ASSERT_TRUE(texture.isLoaded());

    size_t beak = 0, rightTip = 0, leftTip = 0;
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        const glm::vec3& p = mesh.positions[i];
        if (p.z < mesh.positions[beak].z)
            beak = i;
        if (p.x > mesh.positions[rightTip].x)
            rightTip = i;
        if (p.x < mesh.positions[leftTip].x)
            leftTip = i;
    }
    // The beak leads along -z on the middle line, in gold.
    EXPECT_NEAR(mesh.positions[beak].x, 0.0f, 0.05f);
    EXPECT_LT(mesh.positions[beak].z, -0.5f);
    const glm::vec3 beakColour = asset_test::sampleBlockTexel(texture, mesh.uvs[beak]);
    EXPECT_TRUE(isGold(beakColour)) << beakColour.r << " " << beakColour.g << " " << beakColour.b;

    // Across the middle of the right wing: a gold leading edge in front,
    // pale feather tips behind.
    size_t front = 0, back = 0;
    float frontZ = 1e9f, backZ = -1e9f;
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        const glm::vec3& p = mesh.positions[i];
        if (std::abs(p.x - 0.6f) < 0.03f && p.z < frontZ) {
            frontZ = p.z;
            front = i;
        }
        if (std::abs(p.x - 0.6f) < 0.03f && p.z > backZ) {
            backZ = p.z;
            back = i;
        }
    }
    ASSERT_LT(frontZ, backZ);
    EXPECT_TRUE(isGold(asset_test::sampleBlockTexel(texture, mesh.uvs[front])));
    const glm::vec3 trailing = asset_test::sampleBlockTexel(texture, mesh.uvs[back]);
    EXPECT_FALSE(isGold(trailing));
    EXPECT_GT(trailing.b, trailing.r);

    // Two broad wings, one to each side, their tips light blue against the night.
    EXPECT_GT(mesh.positions[rightTip].x, 0.8f);
    EXPECT_NEAR(mesh.positions[leftTip].x, -mesh.positions[rightTip].x, 1e-4f);
    for (const float side : {1.0f, -1.0f}) {
        // The middle of the tip's chord, away from the golden leading edge.
        float zLo = 1e9f, zHi = -1e9f;
        const float tipX = std::abs(mesh.positions[rightTip].x);
        for (const glm::vec3& p : mesh.positions) {
            if (p.x * side > tipX - 0.05f) {
                zLo = std::min(zLo, p.z);
                zHi = std::max(zHi, p.z);
            }
        }
        size_t tip = 0;
        float best = 1e9f;
        for (size_t i = 0; i < mesh.positions.size(); ++i) {
            const glm::vec3& p = mesh.positions[i];
            const float d = std::abs(p.z - (zLo + zHi) * 0.5f);
            if (p.x * side > tipX - 0.05f && d < best) {
                best = d;
                tip = i;
            }
        }
        const glm::vec3 c = asset_test::sampleBlockTexel(texture, mesh.uvs[tip]);
        EXPECT_GT(c.b, c.r) << "wing tip";
        EXPECT_GT(c.r + c.g + c.b, 1.2f) << "wing tip";
    }
}

TEST(ModelAssets, GateStandsOnTheGroundWithABeaconAboveItsPortal) {
    unsigned meshes = 0;
    const MeshData mesh = firstMesh(kGate, meshes);
    ASSERT_FALSE(mesh.positions.empty());
    const DDSImage texture = loadDDS(assetPath("textures/goal_texture.dds"));
    ASSERT_TRUE(texture.isLoaded());

    glm::vec3 lo(1e9f), hi(-1e9f);
    size_t top = 0;
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        lo = glm::min(lo, mesh.positions[i]);
        hi = glm::max(hi, mesh.positions[i]);
        if (mesh.positions[i].y > mesh.positions[top].y)
            top = i;
    }
    EXPECT_NEAR(lo.y, 0.0f, 1e-4f);
    EXPECT_NEAR(mesh.positions[top].x, 0.0f, 1e-3f);

    // The portal fills the arch: the vertex nearest the middle of the
    // opening, on the thin sheet just in front of z = 0, shows its blue light.
    const float middleY = hi.y * 0.35f;
    size_t portal = 0;
    float best = 1e9f;
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        const glm::vec3& p = mesh.positions[i];
        const float d = glm::length(glm::vec2(p.x, p.y - middleY));
        if (p.z > 0.0f && p.z < 0.03f && d < best) {
            best = d;
            portal = i;
        }
    }
    ASSERT_LT(best, 0.1f);
    const glm::vec3 c = asset_test::sampleBlockTexel(texture, mesh.uvs[portal]);
    EXPECT_GT(c.b, c.r + 0.2f);
}
