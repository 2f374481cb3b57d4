#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "RenderGlSupport.h"
#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "framework/SoftwareRenderer.h"
#include "render/Material.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"
#include "support/PortableTest.h"

using namespace render_test;

namespace {

// A program that declares every uniform any material uploads, each one live,
// so a read-back shows exactly which of them a material touched.
const char* const kProbeVertex =
    "#version 330 core\n"
    "layout(location = 0) in vec3 position;\n"
    "void main() { gl_Position = vec4(position, 1.0); }\n";
const char* const kProbeFragment =
    "#version 330 core\n"
    "uniform vec3 materialCoefficients;\n"
    "uniform float specularAlpha;\n"
    "uniform sampler2D diffuseTexture;\n"
    "uniform float time;\n"
    "uniform float waveFrequency;\n"
    "uniform float waveAmplitude;\n"
    "uniform samplerCube skybox;\n"
    "uniform vec3 emissiveColor;\n"
    "out vec4 color;\n"
    "void main() {\n"
    "    color = vec4(materialCoefficients + emissiveColor,\n"
    "                 specularAlpha + time + waveFrequency + waveAmplitude)\n"
    "          + texture(diffuseTexture, vec2(0.5)) + texture(skybox, vec3(1.0));\n"
    "}\n";

constexpr float kUntouched = -7.0f;
constexpr GLint kUntouchedUnit = 5;

struct ProbeValues {
    glm::vec3 materialCoefficients;
    float specularAlpha;
    GLint diffuseTexture;
    float time;
    float waveFrequency;
    float waveAmplitude;
    GLint skybox;
    glm::vec3 emissiveColor;
};

class TextureMaterialGl : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        std::filesystem::create_directories(scratch.file("assets/shaders"));
        std::filesystem::create_directories(scratch.file("assets/textures"));
        writeText("assets/shaders/probe.vert", kProbeVertex);
        writeText("assets/shaders/probe.frag", kProbeFragment);
        scratch.write("assets/textures/orange.dds", makeSolidDxt1(64, 32, {255, 128, 0}));
        std::vector<uint8_t> shortFile = makeSolidDxt1(64, 64, {0, 0, 255});
        shortFile.resize(shortFile.size() - 100);
        scratch.write("assets/textures/short.dds", shortFile);

        AssetRootOverride root(scratch.root());
        CapturedStream out(std::cout);
        probe = std::make_shared<Shader>("assets/shaders/probe.vert", "assets/shaders/probe.frag");
    }

    void writeText(const std::string& name, const char* text) {
        const std::string s(text);
        scratch.write(name, std::vector<uint8_t>(s.begin(), s.end()));
    }

    std::shared_ptr<Texture> loadTexture(const std::string& assetPath) {
        AssetRootOverride root(scratch.root());
        return std::make_shared<Texture>(assetPath);
    }

    GLint location(const char* name) { return glGetUniformLocation(probe->getProgram(), name); }

    // Puts a recognisable value into every uniform of the probe.
    void markAll() {
        probe->use();
        glUniform3f(location("materialCoefficients"), kUntouched, kUntouched, kUntouched);
        glUniform3f(location("emissiveColor"), kUntouched, kUntouched, kUntouched);
        for (const char* name : {"specularAlpha", "time", "waveFrequency", "waveAmplitude"}) {
            glUniform1f(location(name), kUntouched);
        }
        glUniform1i(location("diffuseTexture"), kUntouchedUnit);
        glUniform1i(location("skybox"), kUntouchedUnit);
    }

    ProbeValues readAll() {
        ProbeValues v{};
        const GLuint p = probe->getProgram();
        glGetUniformfv(p, location("materialCoefficients"), &v.materialCoefficients[0]);
        glGetUniformfv(p, location("specularAlpha"), &v.specularAlpha);
        glGetUniformiv(p, location("diffuseTexture"), &v.diffuseTexture);
        glGetUniformfv(p, location("time"), &v.time);
        glGetUniformfv(p, location("waveFrequency"), &v.waveFrequency);
        glGetUniformfv(p, location("waveAmplitude"), &v.waveAmplitude);
        glGetUniformiv(p, location("skybox"), &v.skybox);
        glGetUniformfv(p, location("emissiveColor"), &v.emissiveColor[0]);
        return v;
    }

    static GLint binding(GLenum unit, GLenum query) {
        GLint previous = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &previous);
        glActiveTexture(unit);
        GLint name = 0;
        glGetIntegerv(query, &name);
        glActiveTexture(static_cast<GLenum>(previous));
        return name;
    }

    static GLint activeUnit() {
        GLint unit = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
        return unit;
    }

    ScratchDir scratch{"material"};
    std::shared_ptr<Shader> probe;
};

TEST_F(TextureMaterialGl, TextureUploadsLevelZeroAndBuildsMipmaps) {
    std::shared_ptr<Texture> texture;
    {
        CapturedStream out(std::cout);
        texture = loadTexture("assets/textures/orange.dds");
        EXPECT_EQ(out.text(), "");
    }
    ASSERT_TRUE(texture->isLoaded());
    EXPECT_EQ(binding(GL_TEXTURE0, GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture->getId()));

    GLint width = 0, height = 0, format = 0, levelOneWidth = 0, minFilter = 0, magFilter = 0,
          wrapS = 0, wrapT = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 32);
    // A software renderer keeps the chain decoded (the same texels).
    EXPECT_EQ(format, isSoftwareRenderer() ? GL_RGBA8 : GL_COMPRESSED_RGBA_S3TC_DXT1_EXT);
    EXPECT_EQ(levelOneWidth, 32);
    // One mipmap level at a time on the software path: half the texel reads.
    EXPECT_EQ(minFilter, drawsSoftwarePath() ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);

    std::vector<uint8_t> rgba(64 * 32 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    EXPECT_NEAR(rgba[0], 255, 4);
    EXPECT_NEAR(rgba[1], 128, 4);
    EXPECT_NEAR(rgba[2], 0, 4);

    const GLuint id = texture->getId();
    texture.reset();
    EXPECT_FALSE(glIsTexture(id));
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(TextureMaterialGl, FailedTextureBindsNothing) {
    GLuint previous = 0;
    glGenTextures(1, &previous);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, previous);
    glActiveTexture(GL_TEXTURE3);

    std::shared_ptr<Texture> broken;
    {
        CapturedStream out(std::cout);
        broken = loadTexture("assets/textures/short.dds");
        // The path as the asset search found it, in the system's separators.
        const std::string found = std::filesystem::path(scratch.file("assets/textures/short.dds"))
                                      .make_preferred()
                                      .string();
        EXPECT_EQ(out.text(), "Unable to load DDS image file from path[" + found + "]\n");
    }
    EXPECT_FALSE(broken->isLoaded());
    EXPECT_EQ(activeUnit(), GL_TEXTURE3);  // construction bound nothing either

    broken->bind(0);
    EXPECT_EQ(activeUnit(), GL_TEXTURE3);
    EXPECT_EQ(binding(GL_TEXTURE0, GL_TEXTURE_BINDING_2D), static_cast<GLint>(previous));

    TextureMaterial material(probe, glm::vec3(0.1f, 0.7f, 0.1f), 2.0f, broken);
    markAll();
    material.setUniforms();
    EXPECT_EQ(binding(GL_TEXTURE0, GL_TEXTURE_BINDING_2D), static_cast<GLint>(previous));
    EXPECT_EQ(readAll().diffuseTexture, 0);
    glDeleteTextures(1, &previous);
}

TEST_F(TextureMaterialGl, TextureMaterialUploadsCoefficientsAndUnitZero) {
    const auto texture = loadTexture("assets/textures/orange.dds");
    TextureMaterial material(probe, glm::vec3(0.1f, 0.7f, 0.1f), 2.0f, texture);
    markAll();
    glActiveTexture(GL_TEXTURE2);
    material.setUniforms();

    const ProbeValues v = readAll();
    EXPECT_EQ(v.materialCoefficients, glm::vec3(0.1f, 0.7f, 0.1f));
    EXPECT_EQ(v.specularAlpha, 2.0f);
    EXPECT_EQ(v.diffuseTexture, 0);
    EXPECT_EQ(v.time, kUntouched);
    EXPECT_EQ(v.waveFrequency, kUntouched);
    EXPECT_EQ(v.waveAmplitude, kUntouched);
    EXPECT_EQ(v.skybox, kUntouchedUnit);
    EXPECT_EQ(v.emissiveColor, glm::vec3(kUntouched));
    EXPECT_EQ(activeUnit(), GL_TEXTURE0);
    EXPECT_EQ(binding(GL_TEXTURE0, GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture->getId()));
}

TEST_F(TextureMaterialGl, WaterAddsItsWaveValuesAndAdvancesTime) {
    const auto texture = loadTexture("assets/textures/orange.dds");
    WaterMaterial water(probe, glm::vec4(0.0f, 0.3f, 0.8f, 1.0f), 64.0f, texture);
    markAll();
    water.setUniforms();
    ProbeValues v = readAll();
    EXPECT_EQ(v.materialCoefficients, glm::vec3(0.1f, 0.8f, 0.3f));
    EXPECT_EQ(v.specularAlpha, 64.0f);
    EXPECT_EQ(v.diffuseTexture, 0);
    EXPECT_EQ(v.time, 0.0f);
    EXPECT_EQ(v.waveFrequency, 1.0f);
    EXPECT_EQ(v.waveAmplitude, 0.5f);
    EXPECT_EQ(v.skybox, kUntouchedUnit);
    EXPECT_EQ(v.emissiveColor, glm::vec3(kUntouched));

    for (int frame = 0; frame < 3; ++frame) {
        water.update(0.016f);
    }
    water.setUniforms();
    EXPECT_NEAR(readAll().time, 0.048f, 1e-6f);
}

TEST_F(TextureMaterialGl, CubemapMaterialBindsTheSkyOnUnitZeroOnly) {
    GLuint cube = 0;
    glGenTextures(1, &cube);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

    CubemapMaterial mirror(probe, static_cast<int32_t>(cube));
    markAll();
    glActiveTexture(GL_TEXTURE4);
    mirror.setUniforms();

    const ProbeValues v = readAll();
    EXPECT_EQ(v.skybox, 0);
    EXPECT_EQ(v.materialCoefficients, glm::vec3(kUntouched));
    EXPECT_EQ(v.specularAlpha, kUntouched);
    EXPECT_EQ(v.diffuseTexture, kUntouchedUnit);
    EXPECT_EQ(v.emissiveColor, glm::vec3(kUntouched));
    EXPECT_EQ(activeUnit(), GL_TEXTURE0);
    EXPECT_EQ(binding(GL_TEXTURE0, GL_TEXTURE_BINDING_CUBE_MAP), static_cast<GLint>(cube));

    // The material does not own the sky's cube map.
    { CubemapMaterial discarded(probe, static_cast<int32_t>(cube)); }
    EXPECT_TRUE(glIsTexture(cube));
    glDeleteTextures(1, &cube);
}

TEST_F(TextureMaterialGl, EmissiveUploadsItsColourAndNothingElse) {
    EmissiveMaterial ring(probe, glm::vec3(0.5f, 0.6f, 0.05f));
    markAll();
    ring.setUniforms();
    const ProbeValues v = readAll();
    EXPECT_EQ(v.emissiveColor, glm::vec3(0.5f, 0.6f, 0.05f));
    EXPECT_EQ(v.materialCoefficients, glm::vec3(kUntouched));
    EXPECT_EQ(v.specularAlpha, kUntouched);
    EXPECT_EQ(v.diffuseTexture, kUntouchedUnit);
    EXPECT_EQ(v.skybox, kUntouchedUnit);
    EXPECT_EQ(v.time, kUntouched);
    EXPECT_EQ(drainGlErrors(), 0);
}

TEST_F(TextureMaterialGl, TextureFoundNowhereIsFatal) {
    // A forked child would run the GL driver's exit handlers without its
    // threads and hang; the child re-runs this test in a fresh process instead.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (std::freopen(portable_test::nullDevice(), "r", stdin) == nullptr) {
                std::abort();
            }
            std::fflush(stdout);
            portable_test::joinStdoutToStderr();
            AssetRootOverride root(scratch.root());
            Texture missing("assets/textures/nowhere.dds");
        },
        ::testing::ExitedWithCode(1),
        "^Could not find texture file: assets/textures/nowhere.dds\n$");
}

}  // namespace
