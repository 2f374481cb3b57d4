#include "framework/GlContext.h"

#include "framework/Gl.h"
#include "framework/Platform.h"

void setContextHints() {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
}

bool loadGlFunctions(std::string& reason) {
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    if (result != GLEW_OK) {
        reason = reinterpret_cast<const char*>(glewGetErrorString(result));
        return false;
    }
    // glewInit asks core contexts for the old extension string; the
    // resulting GL_INVALID_ENUM is not the caller's.
    glGetError();
    return true;
}

bool initGlfw() {
    platform::keepGamepadLibraryLoaded();
    return glfwInit() == GLFW_TRUE;
}

GLFWwindow* createHiddenContext(int width, int height, const char* title) {
    if (!initGlfw()) {
        return nullptr;
    }
    setContextHints();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, title, nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    std::string reason;
    if (!loadGlFunctions(reason)) {
        glfwDestroyWindow(window);
        glfwTerminate();
        return nullptr;
    }
    return window;
}
