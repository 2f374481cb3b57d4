#include <gtest/gtest.h>

#include <memory>

#include "RenderTestFiles.h"
#include "framework/Shader.h"
#include "support/GlTestContext.h"

using namespace render_test;

namespace {

// What an object draw uploads to every lit program.
const std::vector<std::string> kObjectUniforms = {
    "viewProjMatrix",  "camera_world",       "dirL.color",  "dirL.direction", "pointL.color",
    "pointL.position", "pointL.attenuation", "modelMatrix", "normalMatrix"};

struct ProgramContract {
    const char* vertex;
    const char* fragment;
    std::vector<std::string> uniforms;
    std::vector<std::string> attributes;  // in location order from 0
};

std::vector<std::string> with(std::vector<std::string> base, std::vector<std::string> more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

// A name the program does not use would be skipped silently by the setters,
// so each program must keep every uniform it is given alive.
TEST(ShaderContractGl, ProgramsDeclareWhatTheirDrawsSet) {
    REQUIRE_GL_CONTEXT();
    const ProgramContract contracts[] = {
        {"assets/shaders/texture.vert",
         "assets/shaders/texture.frag",
         with(kObjectUniforms, {"materialCoefficients", "specularAlpha", "diffuseTexture"}),
         {"position", "normal", "uv"}},
        {"assets/shaders/water.vert",
         "assets/shaders/texture.frag",
         with(kObjectUniforms, {"materialCoefficients", "specularAlpha", "diffuseTexture", "time",
                                "waveFrequency", "waveAmplitude"}),
         {"position", "normal", "uv"}},
        {"assets/shaders/emissive.vert",
         "assets/shaders/emissive.frag",
         {"viewProjMatrix", "modelMatrix", "normalMatrix", "camera_world", "emissiveColor"},
         {"position", "normal"}},
        {"assets/shaders/mirror.vert",
         "assets/shaders/mirror.frag",
         {"viewProjMatrix", "modelMatrix", "normalMatrix", "camera_world", "skybox"},
         {"position", "normal"}},
        {"assets/shaders/skybox.vert",
         "assets/shaders/skybox.frag",
         {"view", "projection"},
         {"position"}},
    };
    for (const ProgramContract& contract : contracts) {
        CapturedStream out(std::cout);
        Shader shader(contract.vertex, contract.fragment);
        const GLuint program = shader.getProgram();
        for (const std::string& name : contract.uniforms) {
            EXPECT_NE(glGetUniformLocation(program, name.c_str()), -1)
                << contract.vertex << " + " << contract.fragment << ": " << name;
        }
        for (size_t location = 0; location < contract.attributes.size(); ++location) {
            EXPECT_EQ(glGetAttribLocation(program, contract.attributes[location].c_str()),
                      static_cast<GLint>(location))
                << contract.vertex << ": " << contract.attributes[location];
        }
    }
}

}  // namespace
