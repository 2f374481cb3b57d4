#include "GlTestContext.h"

#include <cstdlib>

namespace testing_support {
namespace {

GLFWwindow* window = nullptr;
bool attempted = false;

void terminateAtExit() {
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
    glfwTerminate();
}

}  // namespace

bool ensureGlContext() {
    if (attempted) {
        return window != nullptr;
    }
    attempted = true;
    if (!glfwInit()) {
        return false;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(1080, 720, "veltra-test", nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return false;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        glfwDestroyWindow(window);
        window = nullptr;
        glfwTerminate();
        return false;
    }
    glGetError();  // glewInit leaves a harmless GL_INVALID_ENUM on core profiles
    std::atexit(terminateAtExit);
    return true;
}

GLFWwindow* glTestWindow() { return window; }

}  // namespace testing_support
