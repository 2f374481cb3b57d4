#include <array>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "framework/Input.h"
#include "framework/Shader.h"
#include "presentation/PresentationSupport.h"
#include "render/Geometry.h"
#include "render/HeadsUpDisplay.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"
#include "render/RenderPipeline.h"
#include "render/RenderTargets.h"
#include "render/Skybox.h"
#include "support/GlTestContext.h"
#include "support/PortableTest.h"
#include "world/GameObject.h"
#include "world/WorldManager.h"

namespace {

using namespace presentation_test;

// The game's own sky, ring mesh, ring material and font through the whole
// pipeline: a frame to look at, and a check that the rings' emissive colour
// reaches the bright pass.
TEST(GameBloomFrame, GoldenRingsUnderTheNightSkyGlow) {
    REQUIRE_GL_CONTEXT();
    const auto assets = gameAssetsDirectory();
    if (!std::filesystem::exists(assets / "textures/Nightsky/px.jpg") ||
        !std::filesystem::exists(assets / "textures/fonts/greek_outlined.tga")) {
        GTEST_SKIP() << "the game's sky faces or font sheet are not there yet";
    }
    glViewport(0, 0, 1080, 720);
    glEnable(GL_DEPTH_TEST);
    Input::wasPressed(GLFW_KEY_H);
    TempDir directory;
    portable_test::linkDirectory(assets, directory.path() / "assets");
    ScopedWorkingDirectory inside(directory.path() / "run");

    auto sky = makeGameSky();

    auto hud = std::make_shared<HeadsUpDisplay>();
    hud->setShaders(std::make_shared<Shader>("assets/shaders/hud.vert", "assets/shaders/hud.frag"),
                    std::make_shared<Shader>("assets/shaders/fullScreen.vert",
                                             "assets/shaders/fullScreen.frag"));
    hud->loadTextures("../assets/textures/fonts/greek_outlined.tga");
    const auto world = makeWorld(hud);
    world->setSkybox(sky);
    world->state = GameState::Playing;
    world->timeLeft = 97.0f;
    hud->update(0.016f, 1080, 720, *world);

    const auto ringMaterial = std::make_shared<EmissiveMaterial>(
        RenderTargets::makeSceneShader("assets/shaders/emissive.vert",
                                       "assets/shaders/emissive.frag"),
        glm::vec3(0.5f, 0.6f, 0.05f));
    const auto ringMesh =
        std::make_shared<Geometry>(glm::mat4(1.0f), makeTorus(1.0f), ringMaterial, 0);
    // The torus winds around X; a quarter turn about Y faces it to the camera.
    const glm::vec3 places[] = {
        {-2.5f, -0.4f, -9.0f}, {-0.2f, 0.4f, -15.0f}, {2.5f, 1.3f, -23.0f}, {5.0f, 2.2f, -34.0f}};
    for (const glm::vec3& place : places) {
        world->addObject(std::make_shared<GameObject>("Ring", place, glm::vec3(0.0f, 1.3f, 0.0f),
                                                      glm::vec3(1.0f), ringMesh, ringMaterial));
    }

    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    pipeline.render(*world, 1080, 720);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    savePng("/tmp/veltra-bloom-game.png", readFramebuffer(1080, 720));

    // The nearest ring's colour is bright enough for the extract pass to keep.
    glBindFramebuffer(GL_FRAMEBUFFER, pipeline.getBloom().getBrightFramebuffer());
    std::vector<float> bright(1080 * 720 * 3);
    glReadPixels(0, 0, 1080, 720, GL_RGB, GL_FLOAT, bright.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    float brightest = 0.0f;
    for (float value : bright) {
        brightest = std::max(brightest, value);
    }
    EXPECT_GT(brightest, 0.5f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
