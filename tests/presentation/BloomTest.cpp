#include <chrono>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Input.h"
#include "framework/Shader.h"
#include "presentation/PresentationSupport.h"
#include "render/HeadsUpDisplay.h"
#include "render/RenderPipeline.h"
#include "render/RenderTargets.h"
#include "support/GlTestContext.h"
#include "world/GameObject.h"
#include "world/WorldManager.h"

namespace {

using namespace presentation_test;

// Paints the whole scene target with a fragment program of the test's own
// (its body after the version and the output): one big triangle from the
// vertex index, no buffers.
class PaintedBackdrop : public GameObject {
  public:
    PaintedBackdrop(const TempDir& directory, const std::string& fragmentSource)
        : GameObject("Backdrop", glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(1.0f), nullptr,
                     nullptr) {
        const auto vertexPath = directory.path() / "backdrop.vert";
        const auto fragmentPath = directory.path() / "backdrop.frag";
        std::ofstream(vertexPath) << "#version 330 core\n"
                                     "void main() {\n"
                                     "    vec2 p = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);\n"
                                     "    gl_Position = vec4(p * 2.0 - 1.0, 0.5, 1.0);\n"
                                     "}\n";
        // Its colour is stored in the scene target's range, as the game's is.
        std::ofstream(fragmentPath) << "#version 330 core\n"
                                       "#ifndef SCENE_RANGE\n"
                                       "#define SCENE_RANGE 1.0\n"
                                       "#endif\n"
                                       "out vec4 color;\n"
                                    << fragmentSource;
        program = RenderTargets::makeSceneShader(vertexPath.string(), fragmentPath.string());
        glGenVertexArrays(1, &vertexArray);
    }
    ~PaintedBackdrop() override { glDeleteVertexArrays(1, &vertexArray); }
    void draw(std::shared_ptr<Camera>, std::shared_ptr<DirectionalLight>,
              std::shared_ptr<PointLight>) override {
        program->use();
        glBindVertexArray(vertexArray);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glBindVertexArray(0);
        program->unuse();
    }

  private:
    std::shared_ptr<Shader> program;
    GLuint vertexArray = 0;
};

// One emissive-yellow ring of radius 60 around the window centre on a flat
// night blue.
const char* const singleRing =
    "void main() {\n"
    "    float r = length(gl_FragCoord.xy - vec2(540.0, 360.0));\n"
    "    bool ring = abs(r - 60.0) < 3.0;\n"
    "    color = ring ? vec4(1.6, 1.3, 0.2, 1.0) : vec4(0.05, 0.06, 0.12, 1.0);\n"
    "    color.rgb /= SCENE_RANGE;\n"
    "}\n";

// A night sky with stars, a dark hill and three glowing rings, to look at.
const char* const nightScene =
    "float hash(vec2 p) { return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453); }\n"
    "float ring(vec2 p, vec2 c, vec2 radii, float width) {\n"
    "    vec2 d = (p - c) / radii;\n"
    "    return smoothstep(width, width * 0.4, abs(length(d) - 1.0) * radii.y);\n"
    "}\n"
    "void main() {\n"
    "    vec2 p = gl_FragCoord.xy;\n"
    "    vec3 sky = mix(vec3(0.10, 0.12, 0.25), vec3(0.01, 0.01, 0.05), p.y / 720.0);\n"
    "    if (hash(floor(p / 3.0)) > 0.997) sky = vec3(0.9);\n"
    "    float hill = 180.0 + 60.0 * sin(p.x / 170.0) + 25.0 * sin(p.x / 53.0);\n"
    "    vec3 c = p.y < hill ? vec3(0.03, 0.05, 0.04) : sky;\n"
    "    vec3 gold = vec3(1.6, 1.25, 0.25);\n"
    "    c = mix(c, gold, ring(p, vec2(300.0, 400.0), vec2(40.0, 70.0), 5.0));\n"
    "    c = mix(c, gold, ring(p, vec2(560.0, 430.0), vec2(28.0, 50.0), 4.0));\n"
    "    c = mix(c, gold, ring(p, vec2(760.0, 455.0), vec2(18.0, 32.0), 3.0));\n"
    "    color = vec4(c / SCENE_RANGE, 1.0);\n"
    "}\n";

class BloomFrames : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        // What start-up sets for the whole program.
        glViewport(0, 0, 1080, 720);
        glEnable(GL_DEPTH_TEST);
        hud = makeCodedHud(directory);
        world = makeWorld(hud);
        world->state = GameState::Playing;
        Input::wasPressed(GLFW_KEY_H);
    }

    Image renderFrame(RenderPipeline& pipeline, int width = 1080, int height = 720) {
        pipeline.render(*world, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return readFramebuffer(1080, 720);
    }

    TempDir directory;
    std::shared_ptr<HeadsUpDisplay> hud;
    std::shared_ptr<WorldManager> world;
};

TEST_F(BloomFrames, AnEmissiveRingGlowsBeyondItsEdge) {
    world->addObject(std::make_shared<PaintedBackdrop>(directory, singleRing));
    Input::postEvent(GLFW_KEY_H, GLFW_PRESS);  // no HUD over the measurement
    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    const Image frame = renderFrame(pipeline);
    const std::vector<float> scene = readRgbTexture(pipeline.getSceneColorTexture(), 1080, 720);
    const auto sceneRed = [&](int x, int y) {
        return scene[(y * 1080 + x) * 3] * RenderTargets::sceneColorRange();
    };

    // The ring spans radii 57 to 63: 66 and 90 lie outside it on the same
    // flat background, 300 is far from any light.
    const int y = 360;
    const int near = 540 + 66;
    const int beside = 540 + 90;
    const int far = 540 + 300;
    EXPECT_NEAR(sceneRed(near, y), 0.05f, 1e-3f);
    EXPECT_NEAR(sceneRed(far, y), 0.05f, 1e-3f);
    EXPECT_GT(sceneRed(540 + 60, y), 1.0f);

    const int nearRed = frame.at(near, y).x;
    const int besideRed = frame.at(beside, y).x;
    const int farRed = frame.at(far, y).x;
    RecordProperty(
        "red_near_beside_far",
        std::to_string(nearRed) + " " + std::to_string(besideRed) + " " + std::to_string(farRed));
    EXPECT_GT(nearRed, farRed + 40) << "no glow next to the ring";
    EXPECT_GT(nearRed, besideRed) << "the glow does not fall off";
    EXPECT_GE(besideRed, farRed);
    // Above and below the ring as well: the blur runs both ways.
    EXPECT_GT(frame.at(540, 360 + 66).x, farRed + 40);
    EXPECT_GT(frame.at(540, 360 - 66).x, farRed + 40);
    // Inside the ring is lit too, and the ring itself stays the brightest.
    EXPECT_GT(frame.at(540 + 60, y).x, nearRed);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The goal's sparks are the brightest light the scene draws (12.5 in red),
// the night's shadows the darkest: the scene target keeps both, whatever
// its format on this renderer.
TEST_F(BloomFrames, TheSceneTargetKeepsTheBrightestSparkAndTheDarkestShadow) {
    world->addObject(std::make_shared<PaintedBackdrop>(
        directory,
        "void main() {\n"
        "    color = vec4(gl_FragCoord.x < 540.0 ? vec3(12.5, 10.0, 0.0) : vec3(0.004), 1.0);\n"
        "    color.rgb /= SCENE_RANGE;\n"
        "}\n"));
    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    renderFrame(pipeline);
    const std::vector<float> scene = readRgbTexture(pipeline.getSceneColorTexture(), 1080, 720);
    const float range = RenderTargets::sceneColorRange();
    const std::size_t spark = (360 * 1080 + 100) * 3;
    const std::size_t shadow = (360 * 1080 + 1000) * 3;
    EXPECT_NEAR(scene[spark] * range, 12.5f, 0.01f);
    EXPECT_NEAR(scene[spark + 1] * range, 10.0f, 0.01f);
    EXPECT_NEAR(scene[shadow] * range, 0.004f, 2e-4f);
}

// A CPU rasterizer draws the glow at a reduced resolution: fewer texels to
// blur, read back with filtering. The ring's glow must reach as far and as
// bright as at full resolution.
TEST_F(BloomFrames, AtTheSoftwarePathsResolutionTheGlowLooksAsAtFull) {
    world->addObject(std::make_shared<PaintedBackdrop>(directory, singleRing));
    Input::postEvent(GLFW_KEY_H, GLFW_PRESS);  // no HUD over the measurement
    struct SettingReset {
        ~SettingReset() { setBloomScaleSetting(0); }
    } reset;
    Image frames[2];
    for (int scale : {1, kSoftwareBloomScale}) {
        setBloomScaleSetting(scale);
        RenderPipeline pipeline;
        pipeline.init(1080, 720);
        EXPECT_EQ(pipeline.getBloom().getWidth(), 1080u / scale);
        EXPECT_EQ(pipeline.getBloom().getHeight(), 720u / scale);
        frames[scale == 1 ? 0 : 1] = renderFrame(pipeline);
    }
    // Right at the ring's edge the coarser glow is a little wider (17
    // levels at 3 pixels out at a third, 13 at half); everywhere else it is
    // the same light.
    for (const int x : {540 + 60, 540 + 66, 540 + 75, 540 + 90, 540 + 300, 540, 540 - 66}) {
        const int full = frames[0].at(x, 360).x;
        const int coarse = frames[1].at(x, 360).x;
        EXPECT_NEAR(coarse, full, x == 540 + 66 ? 20 : 3) << "red at x = " << x;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
