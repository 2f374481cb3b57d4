#pragma once

// A hidden window with the game's OpenGL context, for tests that need real
// GL calls. Tests start with REQUIRE_GL_CONTEXT(): without a display the
// test is skipped, unless VELTRA_REQUIRE_GL is set (to anything but 0), as
// tools/run-tests.sh and CI set it: where a display is promised, a missing
// context is a failure, not a quiet skip.
#define GLEW_NO_GLU
#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace testing_support {

// Returns true when a current 4.1 core context exists (created once per process).
bool ensureGlContext();

// The hidden window, or null when no context could be made.
GLFWwindow* glTestWindow();

// Whether a missing context must fail the test rather than skip it.
bool glContextRequired();

}  // namespace testing_support

#define REQUIRE_GL_CONTEXT()                                                       \
    do {                                                                           \
        if (!testing_support::ensureGlContext()) {                                 \
            if (testing_support::glContextRequired()) {                            \
                GTEST_FAIL() << "no OpenGL context, and VELTRA_REQUIRE_GL is set"; \
            }                                                                      \
            GTEST_SKIP() << "no OpenGL context (no X display?)";                   \
        }                                                                          \
    } while (0)
