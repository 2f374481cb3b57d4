#include "app/WindowManager.h"

#include <iostream>
#include <utility>

#include "framework/Gl.h"
#include "framework/GlContext.h"
#include "render/Camera.h"

namespace {

constexpr int32_t kWindowedX = 100;
constexpr int32_t kWindowedY = 100;
constexpr int32_t kWindowedWidth = 800;
constexpr int32_t kWindowedHeight = 600;

}  // namespace

void glfwErrorCallback(int code, const char* description) {
    std::cout << "GLFW error " << code << ": " << (description != nullptr ? description : "")
              << std::endl;
}

WindowManager::WindowManager(std::string title, int32_t width, int32_t height, bool fullscreen)
    : title(std::move(title)), width(width), height(height), fullscreen(fullscreen) {}

WindowManager::~WindowManager() {
    terminate();
}

void WindowManager::terminate() {
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
    // Terminating twice is harmless: GLFW ignores the call when it is not
    // initialised.
    glfwTerminate();
}

bool WindowManager::init() {
    if (!initGlfw()) {
        std::cerr << "Failed to initialize GLFW" << std::endl;
        return false;
    }
    setContextHints();
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);

    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    window = glfwCreateWindow(width, height, title.c_str(), monitor, nullptr);
    if (window == nullptr) {
        std::cerr << "Failed to create GLFW window" << std::endl;
        glfwTerminate();
        return false;
    }
    glfwMakeContextCurrent(window);
    glViewport(0, 0, width, height);
    return true;
}

void WindowManager::toggleFullscreen(const std::shared_ptr<Camera>& camera) {
    if (window == nullptr) {
        return;
    }
    fullscreen = !fullscreen;
    if (fullscreen) {
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
        if (mode == nullptr) {
            // No monitor to cover: stay windowed.
            fullscreen = false;
            return;
        }
        glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
        width = mode->width;
        height = mode->height;
    } else {
        glfwSetWindowMonitor(window, nullptr, kWindowedX, kWindowedY, kWindowedWidth,
                             kWindowedHeight, 0);
        width = kWindowedWidth;
        height = kWindowedHeight;
    }
    // The framebuffer may differ from the requested size (scaling, a window
    // manager that refuses it); it is what the viewport must cover.
    glfwGetFramebufferSize(window, &width, &height);
    glViewport(0, 0, width, height);
    if (camera != nullptr && height != 0) {
        camera->setAspectRatio(static_cast<float>(width) / static_cast<float>(height));
    }
}
