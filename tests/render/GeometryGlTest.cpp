#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "RenderGlSupport.h"
#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "render/Geometry.h"
#include "render/MeshBuilders.h"
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

}  // namespace
