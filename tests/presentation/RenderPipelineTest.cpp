#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Input.h"
#include "framework/Shader.h"
#include "framework/SoftwareRenderer.h"
#include "presentation/AllocationCounter.h"
#include "presentation/PresentationSupport.h"
#include "render/HeadsUpDisplay.h"
#include "render/RenderPipeline.h"
#include "support/GlTestContext.h"
#include "world/GameObject.h"
#include "world/ParticleSystem.h"
#include "world/WorldManager.h"

namespace {

using namespace presentation_test;

struct DrawRecord {
    std::string name;
    bool blending;
    bool depthWrites;
};

DrawRecord recordOf(const std::string& name) {
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    return {name, glIsEnabled(GL_BLEND) == GL_TRUE, depthWrites == GL_TRUE};
}

class RecordingObject : public GameObject {
  public:
    RecordingObject(const std::string& name, std::vector<DrawRecord>& log)
        : GameObject(name, glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(1.0f), nullptr, nullptr),
          log(log) {}
    void draw(std::shared_ptr<Camera>, std::shared_ptr<DirectionalLight>,
              std::shared_ptr<PointLight>) override {
        log.push_back(recordOf(name));
    }

  private:
    std::vector<DrawRecord>& log;
};

class RecordingParticles : public ParticleSystem {
  public:
    RecordingParticles(const std::string& name, std::vector<DrawRecord>& log)
        : ParticleSystem(name, 4, nullptr), log(log) {}
    void draw(std::shared_ptr<Camera>, std::shared_ptr<DirectionalLight>,
              std::shared_ptr<PointLight>) override {
        log.push_back(recordOf(name));
    }

  private:
    std::vector<DrawRecord>& log;
};

GLint textureLevel(GLuint texture, GLenum parameter) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLenum framebufferStatus(GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return status;
}

// Every GL name the pipeline and its bloom hold.
struct Names {
    std::vector<GLuint> framebuffers;
    std::vector<GLuint> textures;
    std::vector<GLuint> buffers;
    std::vector<GLuint> vertexArrays;
};

Names namesOf(const RenderPipeline& pipeline) {
    const Bloom& bloom = pipeline.getBloom();
    return {
        {pipeline.getSceneFramebuffer(), bloom.getBrightFramebuffer(),
         bloom.getPingpongFramebuffer(0), bloom.getPingpongFramebuffer(1)},
        {pipeline.getSceneColorTexture(), pipeline.getSceneDepthTexture(), bloom.getBrightTexture(),
         bloom.getPingpongTexture(0), bloom.getPingpongTexture(1)},
        {pipeline.getQuadVertexBuffer(), bloom.getQuadVertexBuffer()},
        {pipeline.getQuadVertexArray(), bloom.getQuadVertexArray()},
    };
}

bool contains(const std::vector<GLuint>& names, GLuint name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Names of `before` that are not reused in `after` must be gone.
void expectReleased(const Names& before, const Names& after) {
    for (GLuint name : before.framebuffers) {
        EXPECT_TRUE(contains(after.framebuffers, name) || !glIsFramebuffer(name)) << name;
    }
    for (GLuint name : before.textures) {
        EXPECT_TRUE(contains(after.textures, name) || !glIsTexture(name)) << name;
    }
    for (GLuint name : before.buffers) {
        EXPECT_TRUE(contains(after.buffers, name) || !glIsBuffer(name)) << name;
    }
    for (GLuint name : before.vertexArrays) {
        EXPECT_TRUE(contains(after.vertexArrays, name) || !glIsVertexArray(name)) << name;
    }
}

// The scene's targets at the window's size, the glow's at that size divided
// by the scale the renderer chose (half on a CPU rasterizer), rounded up.
void expectTargetsAt(const RenderPipeline& pipeline, int width, int height) {
    const Bloom& bloom = pipeline.getBloom();
    const int scale = chosenBloomScale();
    EXPECT_EQ(bloom.getScale(), scale);
    for (GLuint framebuffer : namesOf(pipeline).framebuffers) {
        EXPECT_NE(framebuffer, 0u);
        EXPECT_EQ(framebufferStatus(framebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
    const GLuint scene = pipeline.getSceneColorTexture();
    for (GLuint texture : {scene, bloom.getBrightTexture(), bloom.getPingpongTexture(0),
                           bloom.getPingpongTexture(1)}) {
        const int divisor = texture == scene ? 1 : scale;
        EXPECT_EQ(textureLevel(texture, GL_TEXTURE_WIDTH), (width + divisor - 1) / divisor);
        EXPECT_EQ(textureLevel(texture, GL_TEXTURE_HEIGHT), (height + divisor - 1) / divisor);
        // The scene in 16-bit normalized colour on the software path.
        const GLint format = texture == scene && drawsSoftwarePath() ? GL_RGBA16 : GL_RGB16F;
        EXPECT_EQ(textureLevel(texture, GL_TEXTURE_INTERNAL_FORMAT), format);
    }
    const GLuint depth = pipeline.getSceneDepthTexture();
    EXPECT_EQ(textureLevel(depth, GL_TEXTURE_WIDTH), width);
    EXPECT_EQ(textureLevel(depth, GL_TEXTURE_HEIGHT), height);
    // A float depth on the software path, which draws the same frames.
    EXPECT_EQ(textureLevel(depth, GL_TEXTURE_INTERNAL_FORMAT),
              drawsSoftwarePath() ? GL_DEPTH_COMPONENT32F : GL_DEPTH_COMPONENT24);
    EXPECT_EQ(bloom.getWidth(), static_cast<uint32_t>((width + scale - 1) / scale));
    EXPECT_EQ(bloom.getHeight(), static_cast<uint32_t>((height + scale - 1) / scale));
}

class Pipeline : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        // What start-up sets for the whole program.
        glViewport(0, 0, 1080, 720);
        glEnable(GL_DEPTH_TEST);
        hud = makeCodedHud(directory);
        world = makeWorld(hud);
        world->state = GameState::Playing;
        // The key tables outlive tests; drop an H left pending by another.
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

TEST_F(Pipeline, InitBuildsCompleteTargetsAtTheGameSize) {
    RenderPipeline pipeline;
    EXPECT_FALSE(pipeline.isInitialised());
    EXPECT_TRUE(pipeline.isHudVisible());
    EXPECT_EQ(pipeline.getSceneFramebuffer(), 0u);

    testing::internal::CaptureStderr();
    pipeline.init(1080, 720);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(pipeline.isInitialised());
    expectTargetsAt(pipeline, 1080, 720);
    EXPECT_TRUE(pipeline.getBloom().hasBlurShader());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Pipeline, FirstFrameAtTheInitSizeRebuildsNothingAndASizeChangeRebuildsEverything) {
    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    const Names built = namesOf(pipeline);
    renderFrame(pipeline);
    const Names firstFrame = namesOf(pipeline);
    EXPECT_EQ(firstFrame.framebuffers, built.framebuffers);
    EXPECT_EQ(firstFrame.textures, built.textures);
    EXPECT_EQ(firstFrame.buffers, built.buffers);
    EXPECT_FLOAT_EQ(world->getCamera()->getAspectRatio(), 1.5f);

    renderFrame(pipeline, 800, 600);
    EXPECT_EQ(pipeline.getWidth(), 800);
    EXPECT_EQ(pipeline.getHeight(), 600);
    expectTargetsAt(pipeline, 800, 600);
    expectReleased(built, namesOf(pipeline));
    EXPECT_FLOAT_EQ(world->getCamera()->getAspectRatio(), 800.0f / 600.0f);

    const Names small = namesOf(pipeline);
    renderFrame(pipeline, 1080, 720);
    expectTargetsAt(pipeline, 1080, 720);
    expectReleased(small, namesOf(pipeline));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Pipeline, ZeroSizeFramebufferDrawsNothingUntilARealSizeRebuildsIt) {
    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    renderFrame(pipeline);
    const float aspect = world->getCamera()->getAspectRatio();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    testing::internal::CaptureStderr();
    for (const auto& [width, height] : {std::pair{1080, 0}, std::pair{0, 720}, std::pair{0, 0}}) {
        pipeline.render(*world, width, height);
        EXPECT_FALSE(pipeline.isInitialised());
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(world->getCamera()->getAspectRatio(), aspect);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(readFramebuffer(1080, 720).at(540, 360), glm::ivec4(51, 102, 153, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Back at the old size: everything is built again and drawn.
    const Names beforeRestore = namesOf(pipeline);
    const Image restored = renderFrame(pipeline);
    EXPECT_TRUE(pipeline.isInitialised());
    expectTargetsAt(pipeline, 1080, 720);
    expectReleased(beforeRestore, namesOf(pipeline));
    EXPECT_NE(restored.at(540, 360), glm::ivec4(51, 102, 153, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Pipeline, ParticleSystemsAreDrawnAfterEveryOpaqueObjectWithBlending) {
    std::vector<DrawRecord> log;
    world->addObject(std::make_shared<RecordingParticles>("Sparks", log));
    world->addObject(std::make_shared<RecordingObject>("Terrain", log));
    world->addObject(std::make_shared<RecordingParticles>("Embers", log));
    world->addObject(std::make_shared<RecordingObject>("Ring", log));

    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    renderFrame(pipeline);

    ASSERT_EQ(log.size(), 4u);
    const char* const order[] = {"Terrain", "Ring", "Sparks", "Embers"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(log[i].name, order[i]);
        const bool particles = i >= 2;
        EXPECT_EQ(log[i].blending, particles) << log[i].name;
        EXPECT_EQ(log[i].depthWrites, !particles) << log[i].name;
    }
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
}

TEST_F(Pipeline, KeyHHidesAndShowsTheHud) {
    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    // The coded font paints "SCORE:" from (10, 670) with the code of S in red.
    EXPECT_EQ(renderFrame(pipeline).at(11, 671).x, 'S');

    Input::postEvent(GLFW_KEY_H, GLFW_PRESS);
    Input::postEvent(GLFW_KEY_H, GLFW_RELEASE);
    EXPECT_NE(renderFrame(pipeline).at(11, 671).x, 'S');
    EXPECT_FALSE(pipeline.isHudVisible());
    EXPECT_NE(renderFrame(pipeline).at(11, 671).x, 'S');  // stays hidden without a new press

    Input::postEvent(GLFW_KEY_H, GLFW_PRESS);
    EXPECT_EQ(renderFrame(pipeline).at(11, 671).x, 'S');
    EXPECT_TRUE(pipeline.isHudVisible());

    // The choice survives a rebuild.
    Input::postEvent(GLFW_KEY_H, GLFW_PRESS);
    renderFrame(pipeline, 800, 600);
    renderFrame(pipeline);
    EXPECT_FALSE(pipeline.isHudVisible());
}

TEST_F(Pipeline, SteadyFramesAllocateNothing) {
    if (!AllocationCounter::available()) {
        GTEST_SKIP() << "allocations are not counted in sanitizer builds";
    }
    std::vector<DrawRecord> log;
    log.reserve(64);
    world->addObject(std::make_shared<RecordingObject>("Terrain", log));
    world->addObject(std::make_shared<RecordingParticles>("Sparks", log));
    world->state = GameState::Countdown;
    world->countdown = 2.5f;
    hud->setTitle("GAME OVER");
    hud->setSubtitle("POINTS: 3");
    RenderPipeline pipeline;
    pipeline.init(1080, 720);
    pipeline.render(*world, 1080, 720);
    testing::internal::CaptureStdout();
    size_t allocations = 0;
    {
        AllocationCounter counter;
        for (int frame = 0; frame < 4; ++frame) {
            // Half-second frames: the frame rate is printed on the way.
            hud->update(0.5f, 1080, 720, *world);
            pipeline.render(*world, 1080, 720);
        }
        allocations = counter.count();
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(log.size(), 10u);
}

TEST_F(Pipeline, DestructionDeletesEveryName) {
    Names names;
    {
        RenderPipeline pipeline;
        pipeline.init(1080, 720);
        renderFrame(pipeline, 640, 480);
        names = namesOf(pipeline);
    }
    expectReleased(names, Names{});
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
