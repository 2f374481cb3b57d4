#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "RenderGlSupport.h"
#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "render/Skybox.h"
#include "support/GlTestContext.h"

using namespace render_test;

namespace {

// A grey PGM of any extent; stb_image reads it like the game's JPEG faces.
std::string writeGreyFace(const ScratchDir& dir, const std::string& name, int width, int height) {
    const std::string path = dir.file(name);
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << width << " " << height << "\n255\n";
    out << std::string(static_cast<size_t>(width) * height, '\x80');
    return path;
}

class SkyboxFaceSizeGl : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        CapturedStream out(std::cout);
        program =
            std::make_shared<Shader>("assets/shaders/skybox.vert", "assets/shaders/skybox.frag");
        for (size_t i = 0; i < 6; ++i) {
            paths[i] = writeGreyFace(scratch, "face" + std::to_string(i) + ".pgm", 4, 4);
        }
    }

    // Sets the sky up and returns what it wrote on standard error.
    std::string setUpSky(Skybox& sky) {
        CapturedStream err(std::cerr);
        sky.setup();
        return err.text();
    }

    ScratchDir scratch{"sky-size"};
    std::array<std::string, 6> paths;
    std::shared_ptr<Shader> program;
};

}  // namespace

// Such faces once went up silently (or with a driver error) and left the
// whole sky black; they are now named and left out like unreadable ones.
TEST_F(SkyboxFaceSizeGl, AFaceThatIsNotSquareIsReportedAndLeftOut) {
    paths[3] = writeGreyFace(scratch, "wide.pgm", 8, 4);
    Skybox sky(program, paths);
    EXPECT_EQ(setUpSky(sky),
              "Cubemap face of 8 x 4 pixels does not fit the cube at path: " + paths[3] + "\n");
    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.getCubemapTexture());
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(SkyboxFaceSizeGl, AFaceOfAnotherSizeThanTheFirstIsReported) {
    paths[5] = writeGreyFace(scratch, "big.pgm", 8, 8);
    Skybox sky(program, paths);
    EXPECT_EQ(setUpSky(sky),
              "Cubemap face of 8 x 8 pixels does not fit the cube at path: " + paths[5] + "\n");
    EXPECT_EQ(drainGlErrors(), 0);
}

// The first face read once set the size, so a small first face had the
// five good ones named and left out instead of itself.
TEST_F(SkyboxFaceSizeGl, AnOddFirstFaceIsTheOneReportedAndTheOthersGoUp) {
    paths[0] = writeGreyFace(scratch, "small.pgm", 2, 2);
    Skybox sky(program, paths);
    EXPECT_EQ(setUpSky(sky),
              "Cubemap face of 2 x 2 pixels does not fit the cube at path: " + paths[0] + "\n");
    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.getCubemapTexture());
    GLint first = -1, last = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_TEXTURE_WIDTH, &first);
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_TEXTURE_WIDTH, &last);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 4);
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(SkyboxFaceSizeGl, UnreadableFacesDoNotCountTowardsTheCubesSize) {
    // Two faces of 8 and three unreadable: the two readable sizes disagree
    // with the single 4, and the larger group wins.
    paths[1] = writeGreyFace(scratch, "big1.pgm", 8, 8);
    paths[2] = writeGreyFace(scratch, "big2.pgm", 8, 8);
    for (size_t i : {3u, 4u, 5u}) {
        paths[i] = scratch.file("missing" + std::to_string(i) + ".pgm");
    }
    Skybox sky(program, paths);
    const std::string err = setUpSky(sky);
    EXPECT_NE(err.find("Cubemap face of 4 x 4 pixels does not fit the cube at path: " + paths[0]),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("8 x 8"), std::string::npos) << err;
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(SkyboxFaceSizeGl, SixSquareFacesOfOneSizeSayNothing) {
    Skybox sky(program, paths);
    EXPECT_EQ(setUpSky(sky), "");
    EXPECT_EQ(drainGlErrors(), 0);
}
