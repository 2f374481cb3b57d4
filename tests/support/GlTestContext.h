#pragma once

// A hidden window with the game's OpenGL context, for tests that need real
// GL calls. Tests call requireGlContext() first; without a display the test
// is skipped rather than failed.
#define GLEW_NO_GLU
#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace testing_support {

// Returns true when a current 4.1 core context exists (created once per process).
bool ensureGlContext();

// The hidden window, or null when no context could be made.
GLFWwindow* glTestWindow();

}  // namespace testing_support

#define REQUIRE_GL_CONTEXT()                                     \
    do {                                                         \
        if (!testing_support::ensureGlContext()) {               \
            GTEST_SKIP() << "no OpenGL context (no X display?)"; \
        }                                                        \
    } while (0)
