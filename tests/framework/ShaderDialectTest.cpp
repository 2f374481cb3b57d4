#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/AssetPath.h"
#include "framework/Shader.h"
#include "framework/ShaderDialect.h"
#include "support/GlTestContext.h"

namespace {

TEST(ShaderDialect, GivesEsItsVersionPrecisionsAndUniformsWithoutInitialValues) {
    const std::string converted = toEsShader(
        "#version 330 core \n"
        "uniform vec3 tint = vec3(1, 0, 0);\n"
        "uniform float strength;\n"
        "void main() { float a = 1.0; }");
    EXPECT_EQ(converted,
              "#version 300 es\n"
              "precision highp float;\n"
              "precision highp int;\n"
              "precision highp sampler2D;\n"
              "precision highp samplerCube;\n"
              "uniform vec3 tint;\n"
              "uniform float strength;\n"
              "void main() { float a = 1.0; }");
}

// Every program the game builds, with each set of definitions it builds it
// with, compiles and links in a real OpenGL ES 3.0 context (Mesa's), as the
// browser build loads them: a construct GLSL ES lacks fails here first.
TEST(ShaderDialect, EveryProgramOfTheGameBuildsInAnEsContext) {
#ifdef _WIN32
    // The browser build is made on Linux; wine's OpenGL offers no ES context.
    GTEST_SKIP() << "no OpenGL ES context on Windows; the Linux suite checks this";
#endif
    REQUIRE_GL_CONTEXT();
    GLFWwindow* desktop = glfwGetCurrentContext();
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_ES_API);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_ANY_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* es = glfwCreateWindow(64, 64, "ES shaders", nullptr, nullptr);
    glfwDefaultWindowHints();
    ASSERT_NE(es, nullptr) << "no OpenGL ES 3.0 context";
    glfwMakeContextCurrent(es);
    setAssetSearchStartDirectory(VELTRA_SOURCE_DIR);

    const std::vector<std::pair<std::string, std::string>> programs = {
        {"texture.vert", "texture.frag"},     {"water.vert", "texture.frag"},
        {"skybox.vert", "skybox.frag"},       {"hud.vert", "hud.frag"},
        {"emissive.vert", "emissive.frag"},   {"mirror.vert", "mirror.frag"},
        {"particles.vert", "particles.frag"}, {"fullScreen.vert", "fullScreen.frag"},
        {"quad.vert", "blend.frag"},          {"quad.vert", "extract.frag"},
        {"quad.vert", "blur.frag"},
    };
    for (const auto& [vertex, fragment] : programs) {
        for (const char* defines : {"", "#define MOON_PER_VERTEX\n", "#define GLOW_SCALE 2\n"}) {
            // A stage that does not compile ends the program with the
            // driver's log, as it does in the game.
            const Shader shader("assets/shaders/" + vertex, "assets/shaders/" + fragment, defines);
            EXPECT_NE(shader.getProgram(), 0u) << vertex << " + " << fragment << " " << defines;
        }
    }
    // The built-in program's uniform has an initial value, which ES refuses.
    EXPECT_NE(Shader().getProgram(), 0u);

    glfwMakeContextCurrent(desktop);
    glfwDestroyWindow(es);
}

}  // namespace
