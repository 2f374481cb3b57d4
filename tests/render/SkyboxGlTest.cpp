#include <gtest/gtest.h>

#include <memory>

#include <glm/gtc/matrix_transform.hpp>

#include "RenderGlSupport.h"
#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "render/Skybox.h"
#include "support/GlTestContext.h"

using namespace render_test;

namespace {

// Faces of 5 by 5 pixels, with one to four channels: all must come out in
// one format, as a cube map whose faces differ in format is incomplete and
// samples black. Grey faces come out grey.
struct Face {
    const char* name;
    int channels;
    glm::ivec4 stored;
    glm::ivec3 sampled;
};
const Face kFaces[6] = {
    {"px.png", 3, {255, 0, 0, 0}, {255, 0, 0}},
    {"nx.png", 3, {0, 255, 0, 0}, {0, 255, 0}},
    {"py.png", 1, {200, 0, 0, 0}, {200, 200, 200}},
    {"ny.png", 2, {60, 128, 0, 0}, {60, 60, 60}},
    {"pz.png", 3, {0, 0, 255, 0}, {0, 0, 255}},
    {"nz.png", 4, {255, 255, 0, 128}, {255, 255, 0}},
};

class SkyboxGl : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        for (size_t i = 0; i < 6; ++i) {
            facePaths[i] = scratch.file(kFaces[i].name);
            writeSolidPng(facePaths[i], 5, kFaces[i].channels, kFaces[i].stored);
        }
        target = std::make_unique<OffscreenTarget>(32, 32);
        CapturedStream out(std::cout);
        program =
            std::make_shared<Shader>("assets/shaders/skybox.vert", "assets/shaders/skybox.frag");
    }

    // Looks from the origin along the given direction with a 90 degree view.
    glm::ivec3 centreColour(const Skybox& sky, const glm::vec3& eye, const glm::vec3& forward) {
        const glm::vec3 up = std::abs(forward.y) > 0.5f ? glm::vec3(0, 0, 1) : glm::vec3(0, 1, 0);
        const glm::mat4 view = glm::lookAt(eye, eye + forward, up);
        const glm::mat4 projection = glm::perspective(glm::radians(90.0f), 1.0f, 0.1f, 100.0f);
        target->clear(glm::vec4(0, 0, 0, 1));
        glEnable(GL_DEPTH_TEST);
        sky.draw(view, projection);
        const glm::vec4 p = target->at(target->read(), 16, 16);
        return glm::ivec3(glm::round(glm::vec3(p) * 255.0f));
    }

    ScratchDir scratch{"sky"};
    std::array<std::string, 6> facePaths;
    std::shared_ptr<Shader> program;
    // Made in SetUp, once a context exists.
    std::unique_ptr<OffscreenTarget> target;
};

TEST_F(SkyboxGl, FacesAreUploadedWhateverTheirChannelCount) {
    Skybox sky(program, facePaths);
    {
        CapturedStream err(std::cerr);
        sky.setup();
        EXPECT_EQ(err.text(), "");
    }
    ASSERT_NE(sky.getCubemapTexture(), 0u);
    GLint currentProgram = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &currentProgram);
    EXPECT_EQ(currentProgram, 0);

    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.getCubemapTexture());
    for (int i = 0; i < 6; ++i) {
        const GLenum face = GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i);
        GLint internalFormat = 0;
        glGetTexLevelParameteriv(face, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
        EXPECT_EQ(internalFormat, GL_RGBA8) << kFaces[i].name;

        std::vector<uint8_t> rgb(5 * 5 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(face, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        for (size_t texel = 0; texel < 25; ++texel) {
            const glm::ivec3 got(rgb[texel * 3], rgb[texel * 3 + 1], rgb[texel * 3 + 2]);
            ASSERT_EQ(got, kFaces[i].sampled) << kFaces[i].name << " texel " << texel;
        }
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(SkyboxGl, DrawShowsTheFaceAheadAndRestoresState) {
    Skybox sky(program, facePaths);
    sky.setup();

    EXPECT_EQ(centreColour(sky, glm::vec3(0), glm::vec3(1, 0, 0)), glm::ivec3(255, 0, 0));
    EXPECT_EQ(centreColour(sky, glm::vec3(0), glm::vec3(-1, 0, 0)), glm::ivec3(0, 255, 0));
    EXPECT_EQ(centreColour(sky, glm::vec3(0), glm::vec3(0, 1, 0)), glm::ivec3(200, 200, 200));
    EXPECT_EQ(centreColour(sky, glm::vec3(0), glm::vec3(0, 0, -1)), glm::ivec3(255, 255, 0));

    // The sky only turns with the camera; it never moves with it.
    target->clear(glm::vec4(0));
    const glm::mat4 projection = glm::perspective(glm::radians(70.0f), 1.0f, 0.1f, 50.0f);
    const glm::vec3 forward = glm::normalize(glm::vec3(0.6f, 0.3f, -1.0f));
    sky.draw(glm::lookAt(glm::vec3(0), forward, glm::vec3(0, 1, 0)), projection);
    const std::vector<glm::vec4> atOrigin = target->read();
    target->clear(glm::vec4(0));
    const glm::vec3 far(4000.0f, -300.0f, 2500.0f);  // far outside the 1000-unit cube
    sky.draw(glm::lookAt(far, far + forward, glm::vec3(0, 1, 0)), projection);
    EXPECT_EQ(target->read(), atOrigin);

    // Whatever the caller had, the sky leaves the game's defaults behind.
    glDepthFunc(GL_GREATER);
    glDepthMask(GL_FALSE);
    program->use();
    sky.draw(glm::mat4(1.0f), projection);
    GLint depthFunc = 0, currentProgram = -1, vertexArray = -1;
    GLboolean depthMask = GL_FALSE;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    glGetIntegerv(GL_CURRENT_PROGRAM, &currentProgram);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(depthFunc, GL_LESS);
    EXPECT_EQ(depthMask, GL_TRUE);
    EXPECT_EQ(currentProgram, 0);
    EXPECT_EQ(vertexArray, 0);
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(SkyboxGl, MissingFacesAreReportedAndTheSkyGoesOn) {
    std::array<std::string, 6> paths = facePaths;
    paths[2] = scratch.file("Nightsky/py.jpg");
    paths[5] = scratch.file("nz-missing.jpg");
    Skybox sky(program, paths);
    CapturedStream err(std::cerr);
    sky.setup();
    EXPECT_EQ(err.text(), "Cubemap failed to load at path: " + paths[2] + "\n" +
                              "Cubemap failed to load at path: " + paths[5] + "\n");
    EXPECT_NE(sky.getCubemapTexture(), 0u);
    // An incomplete cube map samples black; drawing it is still legal.
    EXPECT_EQ(centreColour(sky, glm::vec3(0), glm::vec3(1, 0, 0)), glm::ivec3(0, 0, 0));
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(SkyboxGl, MovesHandOverTheirNamesAndTheLastOwnerDeletesThem) {
    Skybox first(program, facePaths);
    first.setup();
    const GLuint cube = first.getCubemapTexture();

    Skybox second(std::move(first));
    EXPECT_EQ(first.getCubemapTexture(), 0u);
    EXPECT_EQ(second.getCubemapTexture(), cube);
    EXPECT_EQ(second.getProgram(), program->getProgram());

    GLuint replaced = 0;
    {
        Skybox other(program, facePaths);
        other.setup();
        replaced = other.getCubemapTexture();
        other = std::move(second);
        EXPECT_EQ(other.getCubemapTexture(), cube);
        EXPECT_TRUE(glIsTexture(cube));
        EXPECT_EQ(centreColour(other, glm::vec3(0), glm::vec3(0, 0, 1)), glm::ivec3(0, 0, 255));
    }
    EXPECT_FALSE(glIsTexture(cube));
    second = Skybox(nullptr, facePaths);  // releases what the move left behind
    EXPECT_FALSE(glIsTexture(replaced));
}

}  // namespace
