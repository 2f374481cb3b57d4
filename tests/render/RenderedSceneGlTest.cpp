#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <glm/gtc/matrix_transform.hpp>

#include "RenderGlSupport.h"
#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "render/Geometry.h"
#include "render/Lights.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"
#include "render/Skybox.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"

using namespace render_test;

namespace {

// Night-sky faces, each a colour of its own so a pixel tells which face it
// came from: +X, -X, +Y, -Y, +Z, -Z.
const glm::ivec3 kSkyColours[6] = {{20, 30, 110}, {70, 20, 90}, {10, 10, 40},
                                   {20, 70, 30},  {0, 90, 100}, {100, 25, 35}};

int nearestSkyFace(const glm::vec4& pixel) {
    int best = -1;
    float bestDistance = 1e9f;
    for (int i = 0; i < 6; ++i) {
        const float d = glm::distance(glm::vec3(pixel), glm::vec3(kSkyColours[i]) / 255.0f);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return bestDistance < 0.06f ? best : -1;
}

float luminance(const glm::vec4& p) {
    return 0.2126f * p.r + 0.7152f * p.g + 0.0722f * p.b;
}

// The uniforms an object draw sets, then the material's, then the mesh.
struct Frame {
    glm::mat4 viewProjection;
    glm::vec3 cameraPosition;
    DirectionalLight moon;
    PointLight lamp;
};

void drawObject(const Frame& frame, Material& material, const Geometry& geometry,
                const glm::mat4& model) {
    Shader& shader = *material.getShader();
    shader.use();
    shader.setMat4("viewProjMatrix", frame.viewProjection);
    shader.setVec3("camera_world", frame.cameraPosition);
    shader.setVec3("dirL.color", frame.moon.color);
    shader.setVec3("dirL.direction", frame.moon.direction);
    shader.setVec3("pointL.color", frame.lamp.color);
    shader.setVec3("pointL.position", frame.lamp.position);
    shader.setVec3("pointL.attenuation", frame.lamp.attenuation);
    shader.setMat4("modelMatrix", model);
    shader.setMat3("normalMatrix", glm::transpose(glm::inverse(glm::mat3(model))));
    material.setUniforms();
    geometry.draw();
}

// An eye at (0, 0, 2) looking down -z with a 60 degree view.
struct Camera {
    glm::mat4 view;
    glm::mat4 projection;
    Frame frame;
};

Camera lookingAhead(int width = 1, int height = 1) {
    const glm::vec3 eye(0.0f, 0.0f, 2.0f);
    Camera camera;
    camera.view = glm::lookAt(eye, glm::vec3(0, 0, -6), glm::vec3(0, 1, 0));
    camera.projection =
        glm::perspective(glm::radians(60.0f), float(width) / float(height), 0.1f, 500.0f);
    camera.frame = Frame{camera.projection * camera.view, eye, {}, {}};
    return camera;
}

class RenderedSceneGl : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        CapturedStream out(std::cout);
        textureProgram =
            std::make_shared<Shader>("assets/shaders/texture.vert", "assets/shaders/texture.frag");
        mirrorProgram =
            std::make_shared<Shader>("assets/shaders/mirror.vert", "assets/shaders/mirror.frag");
        emissiveProgram = std::make_shared<Shader>("assets/shaders/emissive.vert",
                                                   "assets/shaders/emissive.frag");
        skyProgram =
            std::make_shared<Shader>("assets/shaders/skybox.vert", "assets/shaders/skybox.frag");

        std::filesystem::create_directories(scratch.file("assets/textures"));
        scratch.write("assets/textures/clay.dds", makeSolidDxt1(64, 64, {230, 150, 60}));
        AssetRootOverride root(scratch.root());
        clay = std::make_shared<Texture>("assets/textures/clay.dds");
    }

    ScratchDir scratch{"scene"};
    std::shared_ptr<Shader> textureProgram, mirrorProgram, emissiveProgram, skyProgram;
    std::shared_ptr<Texture> clay;
};

glm::ivec2 toPixel(const glm::mat4& viewProjection, const glm::vec3& world, int width, int height) {
    const glm::vec4 clip = viewProjection * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc * 0.5f + 0.5f) * glm::vec2(width, height));
}

TEST_F(RenderedSceneGl, LitSphereAndMirrorSphereUnderTheNightSky) {
    std::array<std::string, 6> faces;
    const char* names[6] = {"px.png", "nx.png", "py.png", "ny.png", "pz.png", "nz.png"};
    for (int i = 0; i < 6; ++i) {
        faces[i] = scratch.file(names[i]);
        writeSolidPng(faces[i], 16, 3, glm::ivec4(kSkyColours[i], 255));
    }
    Skybox sky(skyProgram, faces);
    sky.setup();

    TextureMaterial clayMaterial(textureProgram, glm::vec3(0.1f, 0.7f, 0.1f), 2.0f, clay);
    CubemapMaterial mirrorMaterial(mirrorProgram, static_cast<int32_t>(sky.getCubemapTexture()));
    EmissiveMaterial ringMaterial(emissiveProgram, glm::vec3(0.5f, 0.6f, 0.05f));
    const Geometry sphere(glm::mat4(1.0f), makeSphere(32, 64, 1.0f), nullptr, 4);
    const Geometry ring(glm::mat4(1.0f), makeTorus(1.0f), nullptr, 3);

    const int width = 320, height = 240;
    OffscreenTarget target(width, height);
    const Camera camera = lookingAhead(width, height);
    const glm::mat4& view = camera.view;
    const glm::mat4& projection = camera.projection;
    Frame frame = camera.frame;
    const glm::vec3 eye = frame.cameraPosition;
    frame.moon.color = glm::vec3(1.0f);
    frame.moon.direction = glm::normalize(glm::vec3(0.73f, -0.68f, 0.04f));
    frame.lamp.color = glm::vec3(1.0f);
    frame.lamp.position = glm::vec3(0.0f);
    frame.lamp.attenuation = glm::vec3(1.0f, 0.4f, 0.1f);

    const glm::vec3 clayCentre(-1.6f, 0.0f, -6.0f), mirrorCentre(1.6f, 0.0f, -6.0f);
    const glm::vec3 ringCentre(0.0f, 1.9f, -6.0f);
    target.clear(glm::vec4(0, 0, 0, 1));
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    sky.draw(view, projection);
    drawObject(frame, clayMaterial, sphere, glm::translate(glm::mat4(1.0f), clayCentre));
    drawObject(frame, mirrorMaterial, sphere, glm::translate(glm::mat4(1.0f), mirrorCentre));
    drawObject(frame, ringMaterial, ring,
               glm::rotate(glm::translate(glm::mat4(1.0f), ringCentre), glm::radians(90.0f),
                           glm::vec3(0, 1, 0)));
    glUseProgram(0);
    const std::vector<glm::vec4> pixels = target.read();
    const std::string picture =
        (std::filesystem::temp_directory_path() / "veltra-rendered-check.png").string();
    target.savePng(picture, pixels);
    EXPECT_EQ(drainGlErrors(), 0);

    auto pixelAt = [&](const glm::vec3& world) {
        const glm::ivec2 p = toPixel(frame.viewProjection, world, width, height);
        return target.at(pixels, p.x, p.y);
    };
    const glm::vec3 towardMoon = -frame.moon.direction;
    const glm::vec3 towardEye = glm::normalize(eye - clayCentre);
    // Points well inside the outline, one on each side of the terminator.
    const glm::vec3 litNormal = glm::normalize(towardMoon + towardEye);
    const glm::vec3 darkNormal = glm::normalize(-towardMoon + towardEye);
    const glm::vec4 lit = pixelAt(clayCentre + litNormal);
    const glm::vec4 dark = pixelAt(clayCentre + darkNormal);
    EXPECT_GT(luminance(lit), 2.0f * luminance(dark)) << "see " << picture;
    EXPECT_GT(luminance(dark), 0.02f) << "the night fill keeps the far side visible";
    EXPECT_GT(lit.r, lit.b) << "the clay keeps its warm colour under the moon";

    // The mirror: its middle looks back past the camera (+Z), its upper and
    // lower shoulders see the sky above and the ground below.
    const glm::vec3 toEye = glm::normalize(eye - mirrorCentre);
    EXPECT_EQ(nearestSkyFace(pixelAt(mirrorCentre + toEye)), 4) << "see " << picture;
    const glm::vec3 up = glm::normalize(glm::vec3(0, 1, 0) + toEye);
    const glm::vec3 down = glm::normalize(glm::vec3(0, -1, 0) + toEye);
    EXPECT_EQ(nearestSkyFace(pixelAt(mirrorCentre + up)), 2) << "see " << picture;
    EXPECT_EQ(nearestSkyFace(pixelAt(mirrorCentre + down)), 3) << "see " << picture;

    // Behind everything: the face straight ahead.
    EXPECT_EQ(nearestSkyFace(target.at(pixels, width / 2, height - 5)), 5);

    // The ring glows past 1 in the float target, so the bright pass takes it.
    const glm::vec4 glow = pixelAt(ringCentre + glm::vec3(0.0f, 0.5f, 0.0f));
    EXPECT_GT(glm::max(glow.r, glow.g), 1.0f) << "see " << picture;
}

// The lamp, lit per vertex, still lights what is near it and fades with
// distance, on the objects' program (a sphere) and on the water's (its sheet
// turned to face the camera; the water takes its normal from the waves).
TEST_F(RenderedSceneGl, LampLightsNearbySurfacesOnBothLitPrograms) {
    std::shared_ptr<Shader> waterProgram;
    {
        CapturedStream out(std::cout);
        waterProgram =
            std::make_shared<Shader>("assets/shaders/water.vert", "assets/shaders/texture.frag");
    }
    TextureMaterial clayMaterial(textureProgram, glm::vec3(0.1f, 0.7f, 0.3f), 8.0f, clay);
    TextureMaterial waterLike(waterProgram, glm::vec3(0.1f, 0.7f, 0.3f), 8.0f, clay);
    const Geometry sphere(glm::mat4(1.0f), makeSphere(32, 64, 1.0f), nullptr, 4);
    const Geometry sheet(glm::mat4(1.0f), makeGrid(4.0f, 9), nullptr, 2);

    const int width = 160, height = 120;
    OffscreenTarget target(width, height);
    Frame frame = lookingAhead(width, height).frame;
    frame.moon.color = glm::vec3(0.0f);  // the lamp alone
    frame.moon.direction = glm::vec3(0.0f, -1.0f, 0.0f);
    frame.lamp.color = glm::vec3(1.0f);
    frame.lamp.attenuation = glm::vec3(1.0f, 0.4f, 0.1f);
    const glm::vec3 centre(0.0f, 0.0f, -6.0f);
    const glm::mat4 atCentre = glm::translate(glm::mat4(1.0f), centre);
    const glm::mat4 facingEye = glm::rotate(atCentre, glm::radians(90.0f), glm::vec3(1, 0, 0));

    struct Case {
        const char* name;
        Material& material;
        const Geometry& geometry;
        glm::mat4 model;
        glm::vec3 front;  // the surface point nearest the eye
    };
    const Case cases[] = {
        {"objects' program", clayMaterial, sphere, atCentre, centre + glm::vec3(0, 0, 1)},
        {"water's program", waterLike, sheet, facingEye, centre}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto lampAt = [&](float ahead) {
            frame.lamp.position = c.front + glm::vec3(0.0f, 0.0f, ahead);
            target.clear(glm::vec4(0, 0, 0, 1));
            glEnable(GL_DEPTH_TEST);
            drawObject(frame, c.material, c.geometry, c.model);
            glUseProgram(0);
            const std::vector<glm::vec4> pixels = target.read();
            const glm::ivec2 p = toPixel(frame.viewProjection, c.front, width, height);
            return luminance(target.at(pixels, p.x, p.y));
        };
        const float near = lampAt(1.5f);
        EXPECT_GT(near, 0.1f);
        EXPECT_GT(near, 2.0f * lampAt(8.0f));   // the night fill stays
        EXPECT_GT(near, 3.0f * lampAt(-2.5f));  // behind the surface
    }
    EXPECT_EQ(drainGlErrors(), 0);
}

// The software path lights the land and the models per vertex: the clay
// sphere under the moon and the lamp must come out as the per-pixel program
// draws it, the night fill and the highlight included.
TEST_F(RenderedSceneGl, PerVertexMoonLightsAsThePerPixelProgram) {
    std::shared_ptr<Shader> perVertexProgram;
    {
        CapturedStream out(std::cout);
        perVertexProgram =
            std::make_shared<Shader>("assets/shaders/texture.vert", "assets/shaders/texture.frag",
                                     "#define MOON_PER_VERTEX\n");
    }
    const Geometry sphere(glm::mat4(1.0f), makeSphere(32, 64, 1.0f), nullptr, 4);
    const int width = 160, height = 120;
    OffscreenTarget target(width, height);
    Frame frame = lookingAhead(width, height).frame;
    frame.moon.color = glm::vec3(1.0f);
    frame.moon.direction = glm::normalize(glm::vec3(0.73f, -0.68f, -0.3f));
    frame.lamp.color = glm::vec3(1.0f, 0.8f, 0.5f);
    frame.lamp.position = glm::vec3(-1.0f, 1.0f, -3.0f);
    frame.lamp.attenuation = glm::vec3(1.0f, 0.4f, 0.1f);
    auto draw = [&](const std::shared_ptr<Shader>& program) {
        TextureMaterial material(program, glm::vec3(0.1f, 0.7f, 0.1f), 2.0f, clay);
        target.clear(glm::vec4(0, 0, 0, 1));
        glEnable(GL_DEPTH_TEST);
        drawObject(frame, material, sphere,
                   glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -4.0f)));
        glUseProgram(0);
        return target.read();
    };
    const std::vector<glm::vec4> perPixel = draw(textureProgram);
    const std::vector<glm::vec4> perVertex = draw(perVertexProgram);
    EXPECT_EQ(drainGlErrors(), 0);
    ASSERT_EQ(perPixel.size(), perVertex.size());
    float largest = 0.0f;
    float darkest = 1.0f;
    for (size_t i = 0; i < perPixel.size(); ++i) {
        largest = std::max(largest, glm::length(glm::vec3(perPixel[i] - perVertex[i])));
        if (luminance(perPixel[i]) > 0.0f) {
            darkest = std::min(darkest, luminance(perVertex[i]));
        }
    }
    EXPECT_LT(largest, 0.05f) << "the two programs light the sphere differently";
    EXPECT_GT(darkest, 0.01f) << "the night fill keeps the far side visible";
}

}  // namespace
