#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>

#include "RenderGlSupport.h"
#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "render/Geometry.h"
#include "render/MeshBuilders.h"
#include "render/ViewFrustum.h"
#include "support/GlTestContext.h"

using namespace render_test;

namespace {

GLint boundVertexArray() {
    GLint name = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &name);
    return name;
}

GLint boundElementBuffer() {
    GLint name = -1;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &name);
    return name;
}

// Draws with the built-in program (positions straight to clip space, red)
// into a small target cleared to black, and returns the pixels.
std::vector<glm::vec4> drawRed(const Geometry& geometry) {
    static std::shared_ptr<Shader> red = std::make_shared<Shader>();
    OffscreenTarget target(32, 32);
    target.clear(glm::vec4(0, 0, 0, 1));
    glDisable(GL_DEPTH_TEST);
    red->use();
    geometry.draw();
    red->unuse();
    return target.read();
}

TEST(GeometryGl, UploadsDrawsAndLeavesNothingBound) {
    REQUIRE_GL_CONTEXT();
    const MeshData sphere = makeSphere(16, 24, 0.5f);
    const glm::mat4 scale2 = glm::mat4(glm::vec4(2, 0, 0, 0), glm::vec4(0, 2, 0, 0),
                                       glm::vec4(0, 0, 2, 0), glm::vec4(0, 0, 0, 1));
    Geometry geometry(scale2, sphere, nullptr, 4);

    EXPECT_EQ(boundVertexArray(), 0);
    EXPECT_EQ(boundElementBuffer(), 0);
    EXPECT_EQ(geometry.getIndexCount(), sphere.indices.size());
    EXPECT_EQ(geometry.getTag(), 4u);
    EXPECT_NEAR(geometry.getExtent().x, 1.0f, 1e-5f);
    EXPECT_NEAR(geometry.getExtent().y, 1.0f, 1e-5f);
    EXPECT_NEAR(geometry.getExtent().z, 1.0f, 1e-5f);

    glm::mat4 shift(1.0f);
    shift[3] = glm::vec4(10, 0, 5, 1);
    geometry.applyTransform(shift);
    EXPECT_EQ(geometry.getTransform(), shift * scale2);  // the new matrix on the left

    const std::vector<glm::vec4> pixels = drawRed(geometry);
    EXPECT_EQ(boundVertexArray(), 0);
    EXPECT_EQ(pixels[16 * 32 + 16], glm::vec4(1, 0, 0, 1));  // the sphere covers the middle
    EXPECT_EQ(pixels[0], glm::vec4(0, 0, 0, 1));             // and not the corner
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST(GeometryGl, EmptyMeshDrawsNothingAndHasNegativeExtent) {
    REQUIRE_GL_CONTEXT();
    Geometry empty(glm::mat4(1.0f), MeshData{}, nullptr, 0);
    EXPECT_EQ(empty.getIndexCount(), 0u);
    const glm::vec3 extent = empty.getExtent();
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_TRUE(std::isinf(extent[axis]) && extent[axis] < 0.0f) << axis;
    }
    for (const glm::vec4& p : drawRed(empty)) {
        ASSERT_EQ(p, glm::vec4(0, 0, 0, 1));
    }
    EXPECT_EQ(boundVertexArray(), 0);
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST(GeometryGl, IndexPastTheVerticesIsReportedAndNeverDrawn) {
    REQUIRE_GL_CONTEXT();
    MeshData mesh = makeSphere(4, 4, 0.9f);
    mesh.indices[7] = static_cast<uint32_t>(mesh.positions.size()) + 1000;

    CapturedStream err(std::cerr);
    Geometry broken(glm::mat4(1.0f), mesh, nullptr, 0);
    EXPECT_NE(err.text().find("index out of range"), std::string::npos) << err.text();
    EXPECT_EQ(broken.getIndexCount(), 0u);
    for (const glm::vec4& p : drawRed(broken)) {
        ASSERT_EQ(p, glm::vec4(0, 0, 0, 1));
    }
}

TEST(GeometryGl, MeshWithoutNormalsOrUvsStillDraws) {
    REQUIRE_GL_CONTEXT();
    MeshData mesh = makeSphere(8, 8, 0.5f);
    mesh.normals.clear();
    mesh.uvs.resize(3);  // not one per vertex: left out rather than read past
    Geometry geometry(glm::mat4(1.0f), mesh, nullptr, 0);
    const std::vector<glm::vec4> pixels = drawRed(geometry);
    EXPECT_EQ(pixels[16 * 32 + 16], glm::vec4(1, 0, 0, 1));
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST(GeometryGl, SetTrianglesDrawsTheNewListOverTheSameVertices) {
    REQUIRE_GL_CONTEXT();
    // Two triangles: the left and the right half of the target.
    MeshData halves;
    halves.positions = {{-1, -1, 0}, {0, -1, 0}, {0, 1, 0}, {-1, 1, 0}, {1, -1, 0}, {1, 1, 0}};
    halves.indices = {0, 1, 2, 0, 2, 3, 1, 4, 5, 1, 5, 2};
    Geometry geometry(glm::mat4(1.0f), halves, nullptr, 0);
    const glm::vec3 extent = geometry.getExtent();

    geometry.setTriangles({0, 1, 2, 0, 2, 3});
    EXPECT_EQ(geometry.getIndexCount(), 6u);
    EXPECT_EQ(geometry.getExtent(), extent);
    const std::vector<glm::vec4> pixels = drawRed(geometry);
    EXPECT_EQ(pixels[16 * 32 + 8], glm::vec4(1, 0, 0, 1));
    EXPECT_EQ(pixels[16 * 32 + 24], glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(boundElementBuffer(), 0);

    EXPECT_THROW(geometry.setTriangles({0, 1, 6}), std::invalid_argument);
    EXPECT_EQ(geometry.getIndexCount(), 6u);
    Geometry tiled(glm::mat4(1.0f), makeGrid(10.0f, 100), nullptr, 0);
    ASSERT_TRUE(tiled.getRuns().isSplit());
    EXPECT_THROW(tiled.setTriangles({0, 1, 2}), std::logic_error);
    EXPECT_EQ(drainGlErrors(), 0);
}

}  // namespace

namespace {

// Model matrix that puts the mesh at z = -distance, scaled.
glm::mat4 placedAt(float distance, float scale) {
    glm::mat4 model(scale);
    model[3] = glm::vec4(0.0f, 0.0f, -distance, 1.0f);
    return model;
}

}  // namespace

TEST(GeometryGl, DetailLevelFollowsTheSizeSeenFromTheEye) {
    REQUIRE_GL_CONTEXT();
    const MeshData torus = makeTorus(1.0f);
    Geometry ring(glm::mat4(1.0f), torus, nullptr, 3);
    const glm::vec3 eye(0.0f);
    // Without levels every distance draws the whole mesh.
    EXPECT_EQ(ring.detailIndexCount(placedAt(1000.0f, 1.0f), eye), 6144u);
    EXPECT_FALSE(ring.needsEye());

    // Added coarsest last, to show the order they come in does not matter.
    ring.addDetailLevel(makeTorusIndices(2), 0.05f);
    ring.addDetailLevel(makeTorusIndices(4), 0.01f);
    EXPECT_TRUE(ring.needsEye());
    EXPECT_EQ(ring.getIndexCount(), 6144u);
    EXPECT_EQ(boundElementBuffer(), 0);
    const float radius = ring.getBoundsRadius();
    ASSERT_GT(radius, 0.0f);
    EXPECT_EQ(ring.detailIndexCount(placedAt(radius / 0.1f, 1.0f), eye), 6144u);
    EXPECT_EQ(ring.detailIndexCount(placedAt(radius / 0.03f, 1.0f), eye), 1536u);
    EXPECT_EQ(ring.detailIndexCount(placedAt(radius / 0.005f, 1.0f), eye), 384u);
    // Scale counts like nearness; an eye inside the bounds sees full detail.
    EXPECT_EQ(ring.detailIndexCount(placedAt(radius / 0.005f, 20.0f), eye), 6144u);
    EXPECT_EQ(ring.detailIndexCount(placedAt(0.0f, 1.0f), eye), 6144u);

    // The coarse outline still draws where the full one does.
    const std::vector<glm::vec4> full = drawRed(ring);
    std::shared_ptr<Shader> red = std::make_shared<Shader>();
    OffscreenTarget target(32, 32);
    target.clear(glm::vec4(0, 0, 0, 1));
    glDisable(GL_DEPTH_TEST);
    red->use();
    // The built-in program ignores the model: the size test alone picks the
    // coarsest level here.
    ring.drawInView(placedAt(radius / 0.005f, 1.0f), ViewFrustum(glm::mat4(1.0f)), eye, 0.0f);
    red->unuse();
    const std::vector<glm::vec4> coarse = target.read();
    int fullRed = 0, coarseRed = 0;
    for (size_t i = 0; i < full.size(); ++i) {
        fullRed += full[i].r > 0.5f ? 1 : 0;
        coarseRed += coarse[i].r > 0.5f ? 1 : 0;
    }
    EXPECT_GT(coarseRed, fullRed / 2);
    EXPECT_EQ(boundVertexArray(), 0);
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST(GeometryGl, DetailLevelWithAnIndexPastTheVerticesIsRefused) {
    REQUIRE_GL_CONTEXT();
    Geometry ring(glm::mat4(1.0f), makeTorus(1.0f), nullptr, 3);
    EXPECT_THROW(ring.addDetailLevel({0, 1, 1105}, 0.05f), std::invalid_argument);
    EXPECT_FALSE(ring.needsEye());
    EXPECT_EQ(ring.detailIndexCount(placedAt(1e6f, 1.0f), glm::vec3(0.0f)), 6144u);
}
