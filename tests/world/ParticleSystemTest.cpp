#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/Shader.h"
#include "render/DebugCamera.h"
#include "render/Material.h"
#include "support/GlTestContext.h"
#include "world/ParticleSystem.h"

namespace {

// Reads the centre pixel of the current framebuffer.
glm::vec3 centrePixel() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(viewport[2] / 2, viewport[3] / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return glm::vec3(rgba[0], rgba[1], rgba[2]);
}

TEST(ParticleSystemTest, DrawsLiveParticlesBlendedAndRestoresDepthWrites) {
    REQUIRE_GL_CONTEXT();
    auto shader =
        std::make_shared<Shader>("assets/shaders/particles.vert", "assets/shaders/particles.frag");
    auto material = std::make_shared<EmissiveMaterial>(shader, glm::vec3(1.0f));
    std::srand(1);
    ParticleSystem emitter("GoalEmitter", 1024, material);
    emitter.setPosition(glm::vec3(0, 0, -5));
    EXPECT_EQ(emitter.getPosition(), glm::vec3(0, 0, -5));
    EXPECT_EQ(emitter.getCollisionObject(), nullptr);

    auto camera = std::make_shared<DebugCamera>(glm::vec3(0.0f), 60.0f, 1.5f, 0.1f, 100.0f, 1, 1);
    camera->update(0.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Nothing lives before the first spawn interval has passed.
    emitter.setSpawnRate(120.0f);
    emitter.update(0.005f);
    emitter.draw(camera, nullptr, nullptr);
    EXPECT_EQ(centrePixel(), glm::vec3(0.0f));

    // Two seconds of spray fill the middle of the view with bright particles.
    for (int i = 0; i < 120; ++i) {
        emitter.update(1.0f / 60.0f);
    }
    EXPECT_GT(emitter.getLiveCount(), 150u);
    emitter.draw(camera, nullptr, nullptr);
    EXPECT_GT(centrePixel().r, 100.0f);

    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
