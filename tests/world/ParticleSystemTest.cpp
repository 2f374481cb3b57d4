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

std::shared_ptr<Material> glowMaterial() {
    auto shader =
        std::make_shared<Shader>("assets/shaders/particles.vert", "assets/shaders/particles.frag");
    return std::make_shared<EmissiveMaterial>(shader, glm::vec3(1.0f));
}

TEST(ParticleSystemTest, DrawsLiveParticlesBlendedAndRestoresDepthWrites) {
    REQUIRE_GL_CONTEXT();
    const auto material = glowMaterial();
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

// Far from the eye each particle is a coarser sphere; the spray still shows.
TEST(ParticleSystemTest, DistantSprayDrawsCoarserSpheres) {
    REQUIRE_GL_CONTEXT();
    const auto material = glowMaterial();
    std::srand(2);
    ParticleSystem emitter("GoalEmitter", 1024, material);
    // 8 stacks by 12 slices, then every second and every fourth of them.
    EXPECT_EQ(emitter.detailIndexCount(1.0f), 8u * 12u * 6u);
    EXPECT_EQ(emitter.detailIndexCount(10.0f), 4u * 6u * 6u);
    EXPECT_EQ(emitter.detailIndexCount(40.0f), 2u * 3u * 6u);
    EXPECT_EQ(emitter.detailIndexCount(0.0f), 8u * 12u * 6u);

    emitter.setPosition(glm::vec3(0, 0, -10));
    emitter.setSpawnRate(120.0f);
    for (int i = 0; i < 120; ++i) {
        emitter.update(1.0f / 60.0f);
    }
    auto camera = std::make_shared<DebugCamera>(glm::vec3(0.0f), 60.0f, 1.5f, 0.1f, 100.0f, 1, 1);
    camera->update(0.0f);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    emitter.draw(camera, nullptr, nullptr);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<unsigned char> rgba(static_cast<size_t>(viewport[2]) * viewport[3] * 4);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        lit += rgba[i] > 100 ? 1 : 0;
    }
    EXPECT_GT(lit, 50);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
