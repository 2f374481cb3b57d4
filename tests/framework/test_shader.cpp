#include <string>

#include <gtest/gtest.h>
#include <glm/gtc/type_ptr.hpp>

#include "TempTree.h"
#include "framework/Shader.h"
#include "support/GlTestContext.h"
#include "support/PortableTest.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

const char* const kVertex =
    "#version 330 core\n"
    "layout(location = 0) in vec3 position;\n"
    "uniform mat4 model;\n"
    "uniform mat3 normalMatrix;\n"
    "uniform vec2 offset;\n"
    "out vec3 shade;\n"
    "void main() {\n"
    "    shade = normalMatrix * vec3(offset, 1.0);\n"
    "    gl_Position = model * vec4(position, 1.0);\n"
    "}\n";

const char* const kFragment =
    "#version 330 core\n"
    "in vec3 shade;\n"
    "uniform vec3 tint;\n"
    "uniform float strength;\n"
    "uniform int mode;\n"
    "out vec4 color;\n"
    "void main() {\n"
    "    color = vec4(tint * strength + shade * float(mode), 1.0);\n"
    "}\n";

// Counts the driver's uniform lookups by standing in for GLEW's entry point.
int uniformLookups = 0;
PFNGLGETUNIFORMLOCATIONPROC realGetUniformLocation = nullptr;
GLint GLAPIENTRY countingGetUniformLocation(GLuint program, const GLchar* name) {
    ++uniformLookups;
    return realGetUniformLocation(program, name);
}

int floatUploads = 0;
PFNGLUNIFORM1FPROC realUniform1f = nullptr;
void GLAPIENTRY countingUniform1f(GLint location, GLfloat value) {
    ++floatUploads;
    realUniform1f(location, value);
}

GLuint stubCreateShader(GLenum /*type*/) {
    return 0;
}

class ShaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        tree.write("CMakeLists.txt");
        tree.write("assets/shaders/test.vert", kVertex);
        tree.write("assets/shaders/test.frag", kFragment);
        setAssetSearchStartDirectory(tree.makeDirectory("build"));
    }
    void TearDown() override {
        if (realGetUniformLocation != nullptr) {
            __glewGetUniformLocation = realGetUniformLocation;
            realGetUniformLocation = nullptr;
        }
        if (realUniform1f != nullptr) {
            __glewUniform1f = realUniform1f;
            realUniform1f = nullptr;
        }
    }
    void countUniformLookups() {
        realGetUniformLocation = __glewGetUniformLocation;
        __glewGetUniformLocation = countingGetUniformLocation;
        uniformLookups = 0;
    }
    void countFloatUploads() {
        realUniform1f = __glewUniform1f;
        __glewUniform1f = countingUniform1f;
        floatUploads = 0;
    }
    TempTree tree;
};

GLint currentProgram() {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

TEST_F(ShaderTest, BuildsFromFilesAndNamesThemAsPassed) {
    REQUIRE_GL_CONTEXT();
    CaptureStdout();
    Shader shader("assets/shaders/test.vert", "assets/shaders/test.frag");
    EXPECT_EQ(GetCapturedStdout(),
              "Read shader: assets/shaders/test.vert\nRead shader: assets/shaders/test.frag\n");
    ASSERT_NE(shader.getProgram(), 0u);
    GLint linked = GL_FALSE;
    glGetProgramiv(shader.getProgram(), GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    // The stages were detached and deleted after linking.
    GLint attached = -1;
    glGetProgramiv(shader.getProgram(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 0);
}

TEST_F(ShaderTest, BuiltInProgramCompilesSilentlyAndDrawsRed) {
    REQUIRE_GL_CONTEXT();
    CaptureStdout();
    Shader shader;
    EXPECT_EQ(GetCapturedStdout(), "");
    shader.use();
    EXPECT_EQ(currentProgram(), static_cast<GLint>(shader.getProgram()));

    const GLint location = shader.getUniformLocation("fragColor");
    ASSERT_NE(location, -1);
    GLfloat color[3] = {};
    glGetUniformfv(shader.getProgram(), location, color);
    EXPECT_FLOAT_EQ(color[0], 1.0f);
    EXPECT_FLOAT_EQ(color[1], 0.0f);
    EXPECT_FLOAT_EQ(color[2], 0.0f);
}

TEST_F(ShaderTest, EachLocationIsQueriedOnce) {
    REQUIRE_GL_CONTEXT();
    Shader shader("assets/shaders/test.vert", "assets/shaders/test.frag");
    shader.use();
    countUniformLookups();

    for (int frame = 0; frame < 3; ++frame) {
        shader.setFloat("strength", 0.5f);
        shader.setVec3("tint", glm::vec3(1.0f, 2.0f, 3.0f));
        shader.setFloat("notDeclared", 1.0f);
    }
    EXPECT_EQ(uniformLookups, 3);
    EXPECT_EQ(shader.getUniformLocation("notDeclared"), -1);
    EXPECT_EQ(uniformLookups, 3);
}

TEST_F(ShaderTest, CachesOfTwoProgramsAreSeparate) {
    REQUIRE_GL_CONTEXT();
    Shader first("assets/shaders/test.vert", "assets/shaders/test.frag");
    Shader second("assets/shaders/test.vert", "assets/shaders/test.frag");
    countUniformLookups();
    first.getUniformLocation("tint");
    second.getUniformLocation("tint");
    first.getUniformLocation("tint");
    EXPECT_EQ(uniformLookups, 2);
}

TEST_F(ShaderTest, InactiveUniformIsSkippedSilently) {
    REQUIRE_GL_CONTEXT();
    Shader shader("assets/shaders/test.vert", "assets/shaders/test.frag");
    shader.use();
    countFloatUploads();
    CaptureStdout();
    shader.setFloat("notDeclared", 2.0f);
    shader.setFloat("notDeclared", 3.0f);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(floatUploads, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    shader.setFloat("strength", 2.0f);
    EXPECT_EQ(floatUploads, 1);
}

TEST_F(ShaderTest, SettersWriteEveryType) {
    REQUIRE_GL_CONTEXT();
    Shader shader("assets/shaders/test.vert", "assets/shaders/test.frag");
    shader.use();
    const GLuint program = shader.getProgram();

    shader.setInt("mode", 7);
    shader.setFloat("strength", 0.25f);
    shader.setVec2("offset", glm::vec2(1.5f, -2.5f));
    shader.setVec3("tint", glm::vec3(0.1f, 0.2f, 0.3f));
    glm::mat3 normal(1.0f);
    normal[2][0] = 4.0f;  // column 2, row 0: checks column-major order
    shader.setMat3("normalMatrix", normal);
    glm::mat4 model(1.0f);
    model[3][1] = 9.0f;
    shader.setMat4("model", model);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GLint mode = 0;
    glGetUniformiv(program, shader.getUniformLocation("mode"), &mode);
    EXPECT_EQ(mode, 7);
    GLfloat values[16] = {};
    glGetUniformfv(program, shader.getUniformLocation("strength"), values);
    EXPECT_FLOAT_EQ(values[0], 0.25f);
    glGetUniformfv(program, shader.getUniformLocation("offset"), values);
    EXPECT_FLOAT_EQ(values[0], 1.5f);
    EXPECT_FLOAT_EQ(values[1], -2.5f);
    glGetUniformfv(program, shader.getUniformLocation("tint"), values);
    EXPECT_FLOAT_EQ(values[2], 0.3f);
    glGetUniformfv(program, shader.getUniformLocation("normalMatrix"), values);
    EXPECT_FLOAT_EQ(values[6], 4.0f);
    glGetUniformfv(program, shader.getUniformLocation("model"), values);
    EXPECT_FLOAT_EQ(values[13], 9.0f);
}

TEST_F(ShaderTest, SetterWritesIntoWhicheverProgramIsCurrent) {
    REQUIRE_GL_CONTEXT();
    Shader target("assets/shaders/test.vert", "assets/shaders/test.frag");
    Shader other("assets/shaders/test.vert", "assets/shaders/test.frag");
    const GLint location = target.getUniformLocation("strength");
    ASSERT_EQ(location, other.getUniformLocation("strength"));

    other.use();
    target.setFloat("strength", 0.75f);
    GLfloat inOther = 0.0f;
    GLfloat inTarget = 0.0f;
    glGetUniformfv(other.getProgram(), location, &inOther);
    glGetUniformfv(target.getProgram(), location, &inTarget);
    EXPECT_FLOAT_EQ(inOther, 0.75f);
    EXPECT_FLOAT_EQ(inTarget, 0.0f);
}

TEST_F(ShaderTest, DestroyingAnyShaderLeavesNoProgramCurrent) {
    REQUIRE_GL_CONTEXT();
    Shader inUse;
    {
        Shader temporary;
        inUse.use();
        ASSERT_NE(currentProgram(), 0);
    }
    EXPECT_EQ(currentProgram(), 0);
}

TEST_F(ShaderTest, ProgramIsDeletedWithTheShader) {
    REQUIRE_GL_CONTEXT();
    GLuint program = 0;
    {
        Shader shader;
        program = shader.getProgram();
        ASSERT_EQ(glIsProgram(program), GL_TRUE);
    }
    EXPECT_EQ(glIsProgram(program), GL_FALSE);
}

TEST_F(ShaderTest, EmptyFileReachesTheCompiler) {
    REQUIRE_GL_CONTEXT();
    tree.write("assets/shaders/empty.frag", "");
    EXPECT_FATAL_EXIT(Shader("assets/shaders/test.vert", "assets/shaders/empty.frag"),
                      "Read shader: assets/shaders/test.vert\n"
                      "Failed to compile shader: assets/shaders/empty.frag\n");
}

TEST_F(ShaderTest, MissingFileIsFatal) {
    REQUIRE_GL_CONTEXT();
    EXPECT_FATAL_EXIT(Shader("assets/shaders/none.vert", "assets/shaders/test.frag"),
                      "^Could not find shader file: assets/shaders/none.vert\n$");
}

TEST_F(ShaderTest, UnreadableFileCountsAsMissing) {
    REQUIRE_GL_CONTEXT();
    if (!portable_test::permissionsCanDenyReading()) {
        GTEST_SKIP() << "file permissions cannot deny this process reading (root, or Windows)";
    }
    const auto file = tree.write("assets/shaders/locked.vert", kVertex);
    std::filesystem::permissions(file, std::filesystem::perms::none);
    // fileExists opens the file too, so a file nobody may read is not found
    // at all; the "Unable to load" line needs a file that vanishes in between.
    EXPECT_FATAL_EXIT(Shader("assets/shaders/locked.vert", "assets/shaders/test.frag"),
                      "Could not find shader file: assets/shaders/locked.vert\n");
}

TEST_F(ShaderTest, CompileErrorPrintsPathAndLog) {
    REQUIRE_GL_CONTEXT();
    tree.write("assets/shaders/broken.frag", "#version 330 core\nvoid main() { oops }\n");
    EXPECT_FATAL_EXIT(Shader("assets/shaders/test.vert", "assets/shaders/broken.frag"),
                      "Failed to compile shader: assets/shaders/broken.frag\n.*error.*\n");
}

TEST_F(ShaderTest, LinkErrorPrintsLog) {
    REQUIRE_GL_CONTEXT();
    // The fragment stage compiles but declares the vertex output "shade"
    // with another type, which only the linker can see.
    tree.write("assets/shaders/mismatch.frag",
               "#version 330 core\nin vec4 shade;\nout vec4 color;\n"
               "void main() { color = shade; }\n");
    EXPECT_FATAL_EXIT(Shader("assets/shaders/test.vert", "assets/shaders/mismatch.frag"),
                      "Read shader: assets/shaders/mismatch.frag\n"
                      "Failed to link shader program:\n.*shade");
}

TEST_F(ShaderTest, StageThatCannotBeCreatedIsFatal) {
    REQUIRE_GL_CONTEXT();
    EXPECT_FATAL_EXIT(
        {
            __glewCreateShader = stubCreateShader;
            Shader shader;
        },
        "^Failed to create 35633\n$");
}

TEST_F(ShaderTest, DuplicateShaderFileStopsBeforeCompiling) {
    REQUIRE_GL_CONTEXT();
    tree.write("build/assets/shaders/test.vert", kVertex);
    EXPECT_FATAL_EXIT(Shader("assets/shaders/test.vert", "assets/shaders/test.frag"),
                      // Line breaks as \s: on Windows gtest's own expressions
                      // match these, and there '.' stops at a line end.
                      "^Ambiguous asset file path: 'assets/shaders/test.vert'.*"
                      "\\s+  - .*test.vert\\s+  - .*test.vert\\s+"
                      "Remove all duplicates to fix this!\n$");
}

}  // namespace
