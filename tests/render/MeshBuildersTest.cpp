#include <gtest/gtest.h>

#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <cfloat>
#include <memory>
#include <stdexcept>

#include "render/MeshBuilders.h"

namespace {

glm::vec3 boundsSize(const MeshData& mesh) {
    glm::vec3 lo(FLT_MAX), hi(-FLT_MAX);
    for (const glm::vec3& p : mesh.positions) {
        lo = glm::min(lo, p);
        hi = glm::max(hi, p);
    }
    return hi - lo;
}

// One entry per position in every attribute, whole triangles, no index past
// the vertices, unit normals.
void expectWellFormed(const MeshData& mesh) {
    ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
    ASSERT_EQ(mesh.uvs.size(), mesh.positions.size());
    ASSERT_EQ(mesh.indices.size() % 3, 0u);
    for (uint32_t index : mesh.indices) {
        ASSERT_LT(index, mesh.positions.size());
    }
    for (const glm::vec3& n : mesh.normals) {
        ASSERT_NEAR(glm::length(n), 1.0f, 1e-4f);
    }
}

enum class Winding { CounterClockwise, Clockwise };

// Every triangle turns the same way seen from the side its vertex normals
// point to; one flipped triangle would vanish under back-face culling. The
// grid turns counter-clockwise from above; the torus and sphere are laid out
// clockwise seen from outside (harmless while culling stays off, which is the
// shipped renderer setting).
void expectWinding(const MeshData& mesh, Winding winding) {
    const float sign = winding == Winding::CounterClockwise ? 1.0f : -1.0f;
    size_t degenerate = 0;
    for (size_t t = 0; t < mesh.indices.size(); t += 3) {
        const uint32_t a = mesh.indices[t], b = mesh.indices[t + 1], c = mesh.indices[t + 2];
        const glm::vec3 face = glm::cross(mesh.positions[b] - mesh.positions[a],
                                          mesh.positions[c] - mesh.positions[a]);
        if (glm::length(face) < 1e-6f) {
            ++degenerate;  // the sphere's pole triangles
            continue;
        }
        const glm::vec3 vertexNormal = mesh.normals[a] + mesh.normals[b] + mesh.normals[c];
        ASSERT_GT(sign * glm::dot(face, vertexNormal), 0.0f) << "triangle " << t / 3;
    }
    EXPECT_LT(degenerate, mesh.indices.size() / 3);
}

TEST(MakeTorus, RingOfTheGameHasItsCountsExtentAndWinding) {
    const MeshData torus = makeTorus(1.0f);
    EXPECT_EQ(torus.positions.size(), 1105u);
    EXPECT_EQ(torus.indices.size(), 6144u);
    const glm::vec3 extent = boundsSize(torus);
    EXPECT_NEAR(extent.x, 0.2f, 1e-5f);
    EXPECT_NEAR(extent.y, 1.2f, 1e-5f);
    EXPECT_NEAR(extent.z, 1.2f, 1e-5f);
    expectWellFormed(torus);
    expectWinding(torus, Winding::Clockwise);
    // Seams share a place but not a texture coordinate.
    EXPECT_NEAR(glm::length(torus.positions[0] - torus.positions[64 * 17]), 0.0f, 1e-5f);
    EXPECT_EQ(torus.uvs[64 * 17], glm::vec2(1.0f, 0.0f));
    EXPECT_NEAR(glm::length(torus.positions[0] - torus.positions[16]), 0.0f, 1e-5f);
    EXPECT_EQ(torus.uvs[16], glm::vec2(0.0f, 1.0f));
    EXPECT_NEAR(glm::length(boundsSize(makeTorus(3.0f)) - 3.0f * extent), 0.0f, 1e-4f);
}

TEST(MakeSphere, CountsPolesAndRadius) {
    const MeshData sphere = makeSphere(32, 64, 0.5f);
    EXPECT_EQ(sphere.positions.size(), 2145u);
    EXPECT_EQ(sphere.indices.size(), 12288u);
    expectWellFormed(sphere);
    expectWinding(sphere, Winding::Clockwise);
    EXPECT_NEAR(sphere.positions.front().y, 0.5f, 1e-6f);  // row 0 is the top pole
    EXPECT_NEAR(sphere.positions.back().y, -0.5f, 1e-6f);
    for (const glm::vec3& p : sphere.positions) {
        ASSERT_NEAR(glm::length(p), 0.5f, 1e-5f);
    }
    EXPECT_EQ(sphere.uvs.back(), glm::vec2(1.0f, 1.0f));

    const MeshData smallest = makeSphere(1, 1, 1.0f);
    EXPECT_EQ(smallest.positions.size(), 4u);
    EXPECT_EQ(smallest.indices.size(), 6u);
}

TEST(MakeGrid, WaterGridCountsAndLayout) {
    const MeshData grid = makeGrid(1000.0f, 50);
    EXPECT_EQ(grid.positions.size(), 2500u);
    EXPECT_EQ(grid.indices.size(), 14406u);
    expectWellFormed(grid);
    expectWinding(grid, Winding::CounterClockwise);
    EXPECT_EQ(grid.positions.front(), glm::vec3(-500.0f, 0.0f, -500.0f));
    EXPECT_NEAR(grid.positions.back().x, 500.0f, 1e-3f);
    EXPECT_NEAR(grid.positions.back().z, 500.0f, 1e-3f);
    EXPECT_EQ(grid.uvs.front(), glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(grid.uvs.back(), glm::vec2(1.0f, 1.0f));
    EXPECT_EQ(grid.uvs[49], glm::vec2(1.0f, 0.0f));  // columns run along x first

    const MeshData quad = makeGrid(2.0f, 2);
    EXPECT_EQ(quad.positions.size(), 4u);
    EXPECT_EQ(quad.indices, (std::vector<uint32_t>{0, 2, 1, 1, 2, 3}));
}

// A coarser outline uses the full mesh's own vertices, turns the same way,
// and at step 1 is the full mesh.
TEST(CoarserOutlines, SkipVerticesOfTheSameGridAndKeepTheWinding) {
    MeshData torus = makeTorus(1.0f);
    EXPECT_EQ(makeTorusIndices(1), torus.indices);
    const std::vector<uint32_t> full = torus.indices;
    for (uint32_t step : {2u, 4u}) {
        torus.indices = makeTorusIndices(step);
        EXPECT_EQ(torus.indices.size(), full.size() / (step * step)) << "step " << step;
        expectWellFormed(torus);
        expectWinding(torus, Winding::Clockwise);
        // Every vertex used lies on a kept ring and a kept tube side.
        for (uint32_t index : torus.indices) {
            ASSERT_EQ(index / 17 % step, 0u);
            ASSERT_EQ(index % 17 % step, 0u);
        }
        // The outline closes: the last ring meets the first one's places.
        EXPECT_EQ(*std::max_element(torus.indices.begin(), torus.indices.end()), 64u * 17 + 16);
    }

    MeshData sphere = makeSphere(32, 64, 0.5f);
    EXPECT_EQ(makeSphereIndices(32, 64, 1), sphere.indices);
    sphere.indices = makeSphereIndices(32, 64, 4);
    EXPECT_EQ(sphere.indices.size(), 12288u / 16);
    expectWellFormed(sphere);
    expectWinding(sphere, Winding::Clockwise);
    EXPECT_EQ(sphere.indices.front(), 0u);  // from the top pole
    EXPECT_EQ(*std::max_element(sphere.indices.begin(), sphere.indices.end()), 2144u);

    EXPECT_THROW(makeTorusIndices(0), std::invalid_argument);
    EXPECT_THROW(makeTorusIndices(3), std::invalid_argument);
    EXPECT_THROW(makeSphereIndices(32, 64, 0), std::invalid_argument);
    EXPECT_THROW(makeSphereIndices(8, 12, 8), std::invalid_argument);  // 12 is not a multiple
}

TEST(MeshBuilders, RejectArgumentsOutsideTheirRange) {
    EXPECT_THROW(makeGrid(10.0f, 0), std::invalid_argument);
    EXPECT_THROW(makeGrid(10.0f, 1), std::invalid_argument);
    EXPECT_THROW(makeGrid(10.0f, 70000),
                 std::invalid_argument);  // more vertices than indices reach
    EXPECT_THROW(makeSphere(0, 12, 1.0f), std::invalid_argument);
    EXPECT_THROW(makeSphere(8, 0, 1.0f), std::invalid_argument);
    EXPECT_THROW(makeSphere(0xFFFFFFFF, 0xFFFFFFFF, 1.0f), std::invalid_argument);
}

// Meshes come from Assimp's own OBJ reader working on text in memory, then
// are handed over to the test to be bent where a file cannot reach.
// The Windows build's Assimp reads glTF alone, the game's one format.
bool objReaderBuiltIn() {
    return Assimp::Importer().IsExtensionSupported(".obj");
}

std::unique_ptr<aiScene> importObj(const std::string& text, unsigned flags = 0) {
    Assimp::Importer importer;
    if (importer.ReadFileFromMemory(text.data(), text.size(), flags, "obj") == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<aiScene>(importer.GetOrphanedScene());
}

TEST(MeshFromImport, TakesPositionsNormalsFirstUvChannelAndTriangles) {
    if (!objReaderBuiltIn()) {
        GTEST_SKIP() << "this build's Assimp has no OBJ reader";
    }
    const auto scene = importObj(
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
        "vt 0 0\nvt 1 0\nvt 0 1\nvt 1 1\n"
        "vn 0 0 1\n"
        "f 1/1/1 2/2/1 3/3/1\nf 3/3/1 2/2/1 4/4/1\n");
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->mNumMeshes, 1u);
    const MeshData mesh = meshFromImport(*scene->mMeshes[0]);
    ASSERT_EQ(mesh.positions.size(), 6u);  // the OBJ reader keeps one vertex per face corner
    EXPECT_EQ(mesh.normals, std::vector<glm::vec3>(6, glm::vec3(0, 0, 1)));
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(mesh.positions[5], glm::vec3(1, 1, 0));
    EXPECT_EQ(mesh.uvs[5], glm::vec2(1, 1));
    EXPECT_EQ(mesh.uvs[1], glm::vec2(1, 0));
}

TEST(MeshFromImport, MissingUvsBecomeZeroAndStrayFacesAreDropped) {
    if (!objReaderBuiltIn()) {
        GTEST_SKIP() << "this build's Assimp has no OBJ reader";
    }
    const auto scene = importObj("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nl 1 2\nf 1 2 3\nf 3 2 4\n");
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->mNumMeshes, 1u);
    aiMesh& imported = *scene->mMeshes[0];
    ASSERT_EQ(imported.mNumFaces, 3u);
    ASSERT_EQ(imported.mFaces[0].mNumIndices, 2u);
    // A corrupt index beyond the vertices, as a broken file might carry.
    imported.mFaces[2].mIndices[1] = imported.mNumVertices + 5;

    const MeshData mesh = meshFromImport(imported);
    EXPECT_EQ(mesh.uvs, std::vector<glm::vec2>(mesh.positions.size(), glm::vec2(0.0f)));
    EXPECT_TRUE(mesh.normals.empty());
    ASSERT_EQ(mesh.indices.size(), 3u);  // only the sound triangle
    EXPECT_EQ(mesh.positions[mesh.indices[1]], glm::vec3(1, 0, 0));
}

}  // namespace
