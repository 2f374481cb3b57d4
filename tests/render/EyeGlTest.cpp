// Light and reflection are computed from the eye of the view drawn. The
// chase camera never moves its position field, so a draw that took the eye
// from there lit and mirrored everything as seen from the start point.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include <glm/gtc/matrix_transform.hpp>

#include "RenderGlSupport.h"
#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "render/Camera.h"
#include "render/Geometry.h"
#include "render/Lights.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"
#include "render/Skybox.h"
#include "support/GlTestContext.h"
#include "world/GameObject.h"

using namespace render_test;

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr float kOrbitRadius = 4.0f;

// Circles the origin at eye height, looking at it, like a chase camera its
// character: the view moves, the position field stays where it started.
class OrbitingCamera : public Camera {
  public:
    OrbitingCamera()
        : Camera(glm::vec3(0.0f, 0.0f, 50.0f), 60.0f, float(kWidth) / float(kHeight), 0.1f, 5000.0f,
                 -90.0f, 0.0f) {}
    void orbitTo(float degrees) {
        const float angle = glm::radians(degrees);
        orbitEye = kOrbitRadius * glm::vec3(std::sin(angle), 0.0f, std::cos(angle));
        setView(glm::lookAt(orbitEye, glm::vec3(0.0f), glm::vec3(0, 1, 0)));
    }
    glm::mat4 getViewMatrix() const override { return view; }
    glm::vec3 orbitEye{0.0f};
};

// Sky faces of one colour each: +X, -X, +Y, -Y, +Z, -Z.
const std::array<glm::ivec3, 6> kFaceColours = {
    {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}, {200, 200, 40}, {40, 200, 200}, {200, 40, 200}}};

int faceShown(const glm::vec4& pixel) {
    for (int i = 0; i < 6; ++i) {
        if (glm::distance(glm::vec3(pixel), glm::vec3(kFaceColours[size_t(i)]) / 255.0f) < 0.08f) {
            return i;
        }
    }
    return -1;
}

glm::ivec2 toPixel(const Camera& camera, const glm::vec3& world) {
    const glm::vec4 clip = camera.getViewProjectionMatrix() * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc * 0.5f + 0.5f) * glm::vec2(kWidth, kHeight));
}

class EyeGl : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        CapturedStream out(std::cout);
        mirrorProgram =
            std::make_shared<Shader>("assets/shaders/mirror.vert", "assets/shaders/mirror.frag");
        textureProgram =
            std::make_shared<Shader>("assets/shaders/texture.vert", "assets/shaders/texture.frag");
        skyProgram =
            std::make_shared<Shader>("assets/shaders/skybox.vert", "assets/shaders/skybox.frag");
        target = std::make_unique<OffscreenTarget>(kWidth, kHeight);
        // A lamp without light (its uniforms would otherwise divide by zero).
        darkLamp->attenuation = glm::vec3(1.0f, 0.0f, 0.0f);
    }

    // Draws one object through GameObject::draw and reads the frame back.
    std::vector<glm::vec4> drawn(GameObject& object,
                                 const std::shared_ptr<DirectionalLight>& moon) {
        target->bind();
        target->clear(glm::vec4(0, 0, 0, 1));
        glEnable(GL_DEPTH_TEST);
        object.draw(camera, moon, darkLamp);
        glUseProgram(0);
        return target->read();
    }

    ScratchDir scratch{"eye"};
    std::unique_ptr<OffscreenTarget> target;
    std::shared_ptr<PointLight> darkLamp = std::make_shared<PointLight>();
    std::shared_ptr<OrbitingCamera> camera = std::make_shared<OrbitingCamera>();
    std::shared_ptr<Shader> mirrorProgram, textureProgram, skyProgram;
};

TEST_F(EyeGl, TheMirrorSphereShowsTheSkyBehindTheEyeAsTheCameraCirclesIt) {
    std::array<std::string, 6> faces;
    for (size_t i = 0; i < 6; ++i) {
        faces[i] = scratch.file("face" + std::to_string(i) + ".png");
        writeSolidPng(faces[i], 8, 3, glm::ivec4(kFaceColours[i], 255));
    }
    Skybox sky(skyProgram, faces);
    sky.setup();
    auto material = std::make_shared<CubemapMaterial>(
        mirrorProgram, static_cast<int32_t>(sky.getCubemapTexture()));
    auto sphere =
        std::make_shared<Geometry>(glm::mat4(1.0f), makeSphere(32, 64, 1.0f), material, 0);
    GameObject mirror("Mirror", glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(1.0f), sphere,
                      material);

    // The middle of the sphere faces the eye and reflects the sky behind it.
    const struct {
        float degrees;
        int face;
    } orbit[] = {{0.0f, 4}, {90.0f, 0}, {180.0f, 5}, {270.0f, 1}};
    for (const auto& stop : orbit) {
        camera->orbitTo(stop.degrees);
        const std::vector<glm::vec4> pixels = drawn(mirror, nullptr);
        EXPECT_EQ(faceShown(target->at(pixels, kWidth / 2, kHeight / 2)), stop.face)
            << "eye at " << stop.degrees << " degrees";
    }
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(EyeGl, TheMoonsHighlightSitsHalfwayBetweenTheMoonAndTheEye) {
    // No texture: the surface's own colour is black, so the highlight is
    // all that shows.
    auto material = std::make_shared<TextureMaterial>(textureProgram, glm::vec3(0.0f, 0.0f, 1.0f),
                                                      40.0f, nullptr);
    auto sphere =
        std::make_shared<Geometry>(glm::mat4(1.0f), makeSphere(32, 64, 1.0f), material, 0);
    GameObject ball("Ball", glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(1.0f), sphere, material);
    auto moon = std::make_shared<DirectionalLight>();
    moon->enabled = true;
    moon->color = glm::vec3(1.0f);
    moon->direction = glm::vec3(0.0f, -1.0f, 0.0f);  // straight down

    for (float degrees : {0.0f, 90.0f, 225.0f}) {
        camera->orbitTo(degrees);
        const std::vector<glm::vec4> pixels = drawn(ball, moon);
        glm::ivec2 brightest(-1);
        float best = 0.0f;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const float value = target->at(pixels, x, y).g;
                if (value > best) {
                    best = value;
                    brightest = {x, y};
                }
            }
        }
        const glm::vec3 halfway =
            glm::normalize(glm::vec3(0, 1, 0) + glm::normalize(camera->orbitEye));
        const glm::ivec2 expected = toPixel(*camera, halfway);
        EXPECT_GT(best, 0.5f) << "eye at " << degrees << " degrees";
        EXPECT_LE(std::abs(brightest.x - expected.x), 3) << "eye at " << degrees << " degrees";
        EXPECT_LE(std::abs(brightest.y - expected.y), 3) << "eye at " << degrees << " degrees";
    }
    EXPECT_EQ(drainGlErrors(), 0);
}

}  // namespace
