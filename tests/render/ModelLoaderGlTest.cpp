#include <gtest/gtest.h>

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <memory>

#include "GlbWriter.h"
#include "RenderTestFiles.h"
#include "render/Geometry.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"
#include "render/ModelLoader.h"
#include "support/GlTestContext.h"

using namespace render_test;

namespace {

// Materials are only held by the geometries; a bare subclass will do.
class PlainMaterial : public Material {
  public:
    PlainMaterial() : Material(nullptr, glm::vec3(0.0f), 1.0f) {}
};

GlbPrimitive triangle(float x, bool withUvs) {
    GlbPrimitive p;
    p.positions = {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}};
    p.indices = {0, 1, 2};
    if (withUvs) {
        p.uvs = std::vector<glm::vec2>{{0.25f, 0.25f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
    }
    return p;
}

// The meshes of a file as loadModel takes them over, for checking the
// vertex data that ends up on the GPU.
std::vector<MeshData> importedMeshes(const std::string& path) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0x800049);
    std::vector<MeshData> meshes;
    for (unsigned i = 0; scene != nullptr && i < scene->mNumMeshes; ++i) {
        meshes.push_back(meshFromImport(*scene->mMeshes[i]));
    }
    return meshes;
}

class ModelLoaderGl : public ::testing::Test {
  protected:
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
    ScratchDir scratch{"model"};
    std::shared_ptr<Material> material = std::make_shared<PlainMaterial>();
};

TEST_F(ModelLoaderGl, EveryMeshBecomesAGeometrySharingTheMaterial) {
    GlbWriter glb;
    glb.addMesh(triangle(0, true));
    glb.addMesh(triangle(5, false));
    glb.addMesh(triangle(10, true));
    const std::string path = scratch.write("three.glb", glb.bytes());

    CapturedStream out(std::cout);
    const auto geometries = loadModel(path, material, 4);
    EXPECT_EQ(out.text(), "Loaded model: " + path + " with 3 mesh(es).\n");
    ASSERT_EQ(geometries.size(), 3u);
    for (const auto& geometry : geometries) {
        EXPECT_EQ(geometry->getMaterial(), material);
        EXPECT_EQ(geometry->getTag(), 4u);
        EXPECT_EQ(geometry->getTransform(), glm::mat4(1.0f));
        EXPECT_EQ(geometry->getIndexCount(), 3u);
        EXPECT_NEAR(geometry->getExtent().x, 1.0f, 1e-6f);
    }
    EXPECT_EQ(material.use_count(), 4);

    // What was uploaded: smooth normals made up by the importer, and (0, 0)
    // where the file has no texture coordinates. The glTF reader turns v
    // around and the flip turns it back, so glTF coordinates arrive as stored.
    const std::vector<MeshData> meshes = importedMeshes(path);
    ASSERT_EQ(meshes.size(), 3u);
    EXPECT_EQ(meshes[0].normals.size(), 3u);
    EXPECT_EQ(meshes[0].uvs[0], glm::vec2(0.25f, 0.25f));
    EXPECT_EQ(meshes[1].uvs, std::vector<glm::vec2>(3, glm::vec2(0.0f)));
    EXPECT_EQ(meshes[1].positions[0], glm::vec3(5, 0, 0));
}

TEST_F(ModelLoaderGl, QuadsComeOutAsTriangles) {
    GlbWriter glb;
    GlbPrimitive fan;
    fan.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    fan.indices = {0, 1, 2, 3};
    fan.mode = 6;  // one quad as a triangle fan
    glb.addMesh(fan);
    const std::string glbPath = scratch.write("fan.glb", glb.bytes());

    const std::string obj =
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\n"
        "f 1 2 3 4\nf 2 5 6 3\n";
    const std::string objPath =
        scratch.write("quads.obj", std::vector<uint8_t>(obj.begin(), obj.end()));

    CapturedStream out(std::cout);
    const auto fromGlb = loadModel(glbPath, material, 1);
    ASSERT_EQ(fromGlb.size(), 1u);
    EXPECT_EQ(fromGlb[0]->getIndexCount(), 6u);
    // The Windows build's Assimp reads glTF alone, the game's one format.
    if (!Assimp::Importer().IsExtensionSupported(".obj")) {
        return;
    }
    const auto fromObj = loadModel(objPath, material, 1);
    ASSERT_EQ(fromObj.size(), 1u);
    EXPECT_EQ(fromObj[0]->getIndexCount(), 12u);
}

TEST_F(ModelLoaderGl, FilesThatCannotBeImportedGiveAnEmptyList) {
    GlbWriter glb;
    glb.addMesh(triangle(0, true));
    std::vector<uint8_t> cut = glb.bytes();
    cut.resize(cut.size() / 2);
    const std::string missing = scratch.file("missing.glb");
    const std::string truncated = scratch.write("cut.glb", cut);
    const std::string garbage =
        scratch.write("garbage.glb", std::vector<uint8_t>{'g', 'l', 'T', 'F', 2, 0, 0, 0});

    for (const std::string& path : {missing, truncated, garbage}) {
        CapturedStream out(std::cout);
        CapturedStream err(std::cerr);
        EXPECT_TRUE(loadModel(path, material, 1).empty()) << path;
        EXPECT_EQ(out.text(), "") << path;
        EXPECT_EQ(err.text().rfind("Assimp error: ", 0), 0u) << path << ": " << err.text();
        EXPECT_GT(err.text().size(), std::string("Assimp error: \n").size()) << path;
    }
    EXPECT_EQ(material.use_count(), 1);
}

// glTF's reader marks a file without meshes as incomplete without a message
// of its own; the line still gives a reason.
TEST_F(ModelLoaderGl, FileWithoutMeshesSaysWhy) {
    const std::string path = scratch.write("empty.glb", GlbWriter().bytes());
    CapturedStream err(std::cerr);
    EXPECT_TRUE(loadModel(path, material, 1).empty());
    EXPECT_EQ(err.text(), "Assimp error: incomplete scene (no meshes?)\n");
}

}  // namespace
