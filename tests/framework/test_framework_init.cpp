#include <string>

#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "framework/Shader.h"
#include "support/GlTestContext.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

GLint currentProgram() {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

TEST(FrameworkTest, WithoutProgramTheBuiltInOneBecomesCurrent) {
    REQUIRE_GL_CONTEXT();
    glUseProgram(0);
    CaptureStdout();
    ASSERT_TRUE(initFramework());
    EXPECT_EQ(GetCapturedStdout(), "");

    std::shared_ptr<Shader> shader = frameworkDefaultShader();
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(shader->getProgram()));
    const GLuint program = shader->getProgram();
    shader.reset();

    shutdownFramework();
    EXPECT_EQ(glIsProgram(program), GL_FALSE);
    EXPECT_EQ(frameworkDefaultShader(), nullptr);
    EXPECT_EQ(currentProgram(), 0);
}

TEST(FrameworkTest, CurrentProgramIsLeftInPlace) {
    REQUIRE_GL_CONTEXT();
    Shader own;
    own.use();
    ASSERT_TRUE(initFramework());
    EXPECT_EQ(frameworkDefaultShader(), nullptr);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(own.getProgram()));
    shutdownFramework();
}

TEST(FrameworkTest, NoCurrentContextIsReported) {
    REQUIRE_GL_CONTEXT();
    glfwMakeContextCurrent(nullptr);
    CaptureStdout();
    const bool result = initFramework();
    const std::string output = GetCapturedStdout();
    glfwMakeContextCurrent(testing_support::glTestWindow());

    EXPECT_FALSE(result);
    EXPECT_EQ(output, "No context available. Exiting.\n");
}

}  // namespace
