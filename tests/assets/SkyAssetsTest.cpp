// The six night-sky faces: their sizes, their seams, and where the game's
// own sky draws the moon.
#include <gtest/gtest.h>

#include <stb_image.h>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "AssetTestSupport.h"
#include "framework/Shader.h"
#include "render/Skybox.h"
#include "support/GlTestContext.h"
#include "world/ImageFile.h"

using asset_test::assetPath;

namespace {

const std::array<std::string, 6> kFaceNames = {"px", "nx", "py", "ny", "pz", "nz"};

std::array<std::string, 6> facePaths() {
    std::array<std::string, 6> paths;
    for (size_t i = 0; i < 6; ++i) {
        paths[i] = assetPath("textures/Nightsky/" + kFaceNames[i] + ".jpg");
    }
    return paths;
}

// The moon stands where the scene's directional light comes from.
glm::vec3 moonDirection() {
    return -glm::normalize(glm::vec3(0.73f, -0.68f, 0.04f));
}

struct Face {
    int size = 0;
    DecodedImage decoded;
    glm::vec3 at(int x, int y) const {
        const unsigned char* p = decoded.pixels.get() + (static_cast<size_t>(y) * size + x) * 3;
        return glm::vec3(p[0], p[1], p[2]);
    }
};

// Direction of face coordinates a (across) and b (down the image), both in
// -1..1, under the GL cube-map conventions with image row 0 at t = 0.
glm::vec3 faceDirection(int face, float a, float b) {
    switch (face) {
        case 0:
            return {1.0f, -b, -a};
        case 1:
            return {-1.0f, -b, a};
        case 2:
            return {a, 1.0f, b};
        case 3:
            return {a, -1.0f, -b};
        case 4:
            return {a, -b, 1.0f};
        default:
            return {-a, -b, -1.0f};
    }
}

// The face and pixel a GL cube map samples for a direction.
void lookUp(const glm::vec3& d, int size, int& face, int& x, int& y) {
    const glm::vec3 m = glm::abs(d);
    float sc = 0.0f, tc = 0.0f, ma = 1.0f;
    if (m.x >= m.y && m.x >= m.z) {
        face = d.x > 0 ? 0 : 1;
        ma = m.x;
        sc = d.x > 0 ? -d.z : d.z;
        tc = -d.y;
    } else if (m.y >= m.z) {
        face = d.y > 0 ? 2 : 3;
        ma = m.y;
        sc = d.x;
        tc = d.y > 0 ? d.z : -d.z;
    } else {
        face = d.z > 0 ? 4 : 5;
        ma = m.z;
        sc = d.z > 0 ? d.x : -d.x;
        tc = -d.y;
    }
    const float s = (sc / ma + 1.0f) * 0.5f;
    const float t = (tc / ma + 1.0f) * 0.5f;
    x = std::min(static_cast<int>(s * static_cast<float>(size)), size - 1);
    y = std::min(static_cast<int>(t * static_cast<float>(size)), size - 1);
}

}  // namespace

TEST(SkyAssets, SixSquareFacesOfOneSize) {
    int first = 0;
    for (const std::string& path : facePaths()) {
        int w = 0, h = 0, channels = 0;
        ASSERT_EQ(stbi_info(path.c_str(), &w, &h, &channels), 1) << path;
        EXPECT_EQ(w, h) << path;
        EXPECT_EQ(channels, 3) << path;
        if (first == 0) {
            first = w;
        }
        EXPECT_EQ(w, first) << path;
    }
    EXPECT_GE(first, 512);
}

TEST(SkyAssets, FacesMeetWithoutSeams) {
    // Every edge pixel is compared with the pixel just across the edge on the
    // neighbouring face; a wrongly turned face would differ there by far more
    // than neighbouring pixels inside one face do.
    std::array<Face, 6> faces;
    for (size_t i = 0; i < 6; ++i) {
        faces[i].decoded = decodeImageFile(facePaths()[i], 3, false, 1 << 14);
        ASSERT_TRUE(faces[i].decoded.pixels) << facePaths()[i];
        faces[i].size = faces[i].decoded.width;
    }
    const int n = faces[0].size;
    double across = 0.0, inside = 0.0;
    int count = 0;
    for (int face = 0; face < 6; ++face) {
        for (int k = 0; k < n; ++k) {
            const float centre =
                (static_cast<float>(k) + 0.5f) / static_cast<float>(n) * 2.0f - 1.0f;
            const float beyond = 1.0f + 0.5f / static_cast<float>(n);
            // top, bottom, left and right edges: (x, y) of the edge pixel, its inner neighbour
            // and face coordinates just beyond the edge
            const int ex[4] = {k, k, 0, n - 1};
            const int ey[4] = {0, n - 1, k, k};
            const int ix[4] = {k, k, 1, n - 2};
            const int iy[4] = {1, n - 2, k, k};
            const float ba[4] = {centre, centre, -beyond, beyond};
            const float bb[4] = {-beyond, beyond, centre, centre};
            for (int e = 0; e < 4; ++e) {
                int other = 0, ox = 0, oy = 0;
                lookUp(faceDirection(face, ba[e], bb[e]), n, other, ox, oy);
                ASSERT_NE(other, face);
                const glm::vec3 edge = faces[face].at(ex[e], ey[e]);
                across += glm::length(edge - faces[other].at(ox, oy));
                inside += glm::length(edge - faces[face].at(ix[e], iy[e]));
                ++count;
            }
        }
    }
    EXPECT_LT(across / count, 2.0 * inside / count + 1.0);
}

TEST(SkyAssets, TheGameSkyShowsTheMoonWhereTheLightComesFrom) {
    REQUIRE_GL_CONTEXT();
    auto program =
        std::make_shared<Shader>("assets/shaders/skybox.vert", "assets/shaders/skybox.frag");
    Skybox sky(program, facePaths());
    testing::internal::CaptureStderr();
    sky.setup();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.getCubemapTexture());
    for (int i = 0; i < 6; ++i) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_TEXTURE_HEIGHT, &h);
        EXPECT_GT(w, 0) << kFaceNames[static_cast<size_t>(i)];
        EXPECT_EQ(w, h) << kFaceNames[static_cast<size_t>(i)];
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

    asset_test::ColourTarget target(32, 32);
    auto centreWhenLookingAt = [&](const glm::vec3& direction, const glm::vec3& up) {
        target.bind();
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const glm::mat4 view = glm::lookAt(glm::vec3(0.0f), direction, up);
        const glm::mat4 projection = glm::perspective(glm::radians(2.0f), 1.0f, 0.1f, 5000.0f);
        sky.draw(view, projection);
        return target.pixel(16, 16);
    };
    const glm::vec3 moon = centreWhenLookingAt(moonDirection(), {0.0f, 1.0f, 0.0f});
    EXPECT_GT(moon.r + moon.g + moon.b, 1.5f) << "the moon should be bright";
    for (const glm::vec3& away : {glm::vec3(0.73f, 0.3f, 0.0f), glm::vec3(0.0f, 0.2f, -1.0f),
                                  glm::vec3(0.0f, 0.4f, 1.0f)}) {
        const glm::vec3 night = centreWhenLookingAt(glm::normalize(away), {0.0f, 1.0f, 0.0f});
        EXPECT_LT(night.r + night.g + night.b, 0.9f) << "night sky away from the moon";
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
