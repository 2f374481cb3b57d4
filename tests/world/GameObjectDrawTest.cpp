#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "render/Camera.h"
#include "render/Geometry.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"
#include "support/GlTestContext.h"
#include "world/GameObject.h"

namespace {

// At the origin, looking down -z with the game's lens.
class FixedCamera : public Camera {
  public:
    FixedCamera() : Camera(glm::vec3(0.0f), 60.0f, 1.5f, 0.1f, 5000.0f, -90.0f, 0.0f) {
        update(0.0f);
    }
    glm::mat4 getViewMatrix() const override { return view; }
};

class GameObjectDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        testing::internal::CaptureStdout();
        shader =
            std::make_shared<Shader>("assets/shaders/texture.vert", "assets/shaders/texture.frag");
        testing::internal::GetCapturedStdout();
        material =
            std::make_shared<TextureMaterial>(shader, glm::vec3(0.1f, 0.7f, 0.1f), 2.0f, nullptr);
        sphere = std::make_shared<Geometry>(glm::mat4(1.0f), makeSphere(8, 12, 0.5f), material, 0);
        glGenQueries(1, &query);
    }
    void TearDown() override {
        if (query != 0) {
            glDeleteQueries(1, &query);
        }
    }

    // Primitives sent to the rasterizer by one draw, counted before clipping:
    // zero only when the draw call was never made.
    GLuint primitivesDrawn(GameObject& object) {
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        object.draw(camera, nullptr, nullptr);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint count = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        return count;
    }

    std::shared_ptr<Camera> camera = std::make_shared<FixedCamera>();
    std::shared_ptr<Shader> shader;
    std::shared_ptr<Material> material;
    std::shared_ptr<Geometry> sphere;
    GLuint query = 0;
};

TEST_F(GameObjectDraw, AnObjectOutsideTheViewIsNotSentToTheRasterizer) {
    // The bounds: the sphere around the mesh's box of 1 by 1 by 1.
    EXPECT_NEAR(sphere->getBoundsRadius(), 0.5f * std::sqrt(3.0f), 1e-3f);
    const GLuint triangles = sphere->getIndexCount() / 3;
    GameObject ahead("Ahead", glm::vec3(0, 0, -10), glm::vec3(0.0f), glm::vec3(1.0f), sphere,
                     material);
    EXPECT_EQ(primitivesDrawn(ahead), triangles);

    GameObject behind("Behind", glm::vec3(0, 0, 10), glm::vec3(0.0f), glm::vec3(1.0f), sphere,
                      material);
    EXPECT_EQ(primitivesDrawn(behind), 0u);
    GameObject beyond("Beyond", glm::vec3(0, 0, -5100), glm::vec3(0.0f), glm::vec3(1.0f), sphere,
                      material);
    EXPECT_EQ(primitivesDrawn(beyond), 0u);
    GameObject aside("Aside", glm::vec3(-200, 0, -100), glm::vec3(0.0f), glm::vec3(1.0f), sphere,
                     material);
    EXPECT_EQ(primitivesDrawn(aside), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GameObjectDraw, TheDrawingScaleAndTurnCountForWhatReachesIntoTheView) {
    const GLuint triangles = sphere->getIndexCount() / 3;
    // Centred behind the camera, but scaled up it reaches past it.
    GameObject large("Large", glm::vec3(0, 0, 10), glm::vec3(0.0f), glm::vec3(30.0f), sphere,
                     material);
    EXPECT_EQ(primitivesDrawn(large), triangles);
    GameObject small("Small", glm::vec3(0, 0, 10), glm::vec3(0.0f), glm::vec3(3.0f), sphere,
                     material);
    EXPECT_EQ(primitivesDrawn(small), 0u);

    // A long thin bar along x, turned a quarter about y so it points along
    // -z: only the turn brings its far end in front of the camera.
    MeshData bar;
    bar.positions = {{0, -0.1f, -0.1f}, {40, -0.1f, -0.1f}, {40, 0.1f, 0.1f}};
    bar.normals.assign(3, glm::vec3(0, 1, 0));
    bar.uvs.assign(3, glm::vec2(0.0f));
    bar.indices = {0, 1, 2};
    auto barMesh = std::make_shared<Geometry>(glm::mat4(1.0f), bar, material, 0);
    const float quarter = 1.5707963f;
    GameObject backwards("Backwards", glm::vec3(0, 0, 5), glm::vec3(0, -quarter, 0),
                         glm::vec3(1.0f), barMesh, material);
    EXPECT_EQ(primitivesDrawn(backwards), 0u);
    GameObject forwards("Forwards", glm::vec3(0, 0, 5), glm::vec3(0, quarter, 0), glm::vec3(1.0f),
                        barMesh, material);
    EXPECT_EQ(primitivesDrawn(forwards), 1u);
}

}  // namespace
