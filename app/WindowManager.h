#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct GLFWwindow;
class Camera;

// The game's one window and its OpenGL 4.1 core debug context. Created once
// by init and never re-created; the fullscreen toggle moves the same window
// between the primary monitor and the desktop.
class WindowManager {
  public:
    // Stores the values only; GLFW is not touched before init.
    WindowManager(std::string title, int32_t width, int32_t height, bool fullscreen);
    // Destroys the window, then terminates GLFW (harmless when a failed
    // start-up has terminated it already).
    ~WindowManager();

    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Initialises GLFW and creates the window; false (after a line on
    // standard error) when either fails.
    bool init();

    // Destroys the window and terminates GLFW now (the start-up failure
    // path); the destructor then has nothing left to release.
    void terminate();

    GLFWwindow* getWindow() const { return window; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    bool isFullscreen() const { return fullscreen; }
    const std::string& getTitle() const { return title; }

    // Fullscreen on the primary monitor's mode, or back to an 800 by 600
    // window at (100, 100). Only the given camera learns the new aspect.
    void toggleFullscreen(const std::shared_ptr<Camera>& camera);

  private:
    GLFWwindow* window = nullptr;
    std::string title;
    int32_t width;
    int32_t height;
    bool fullscreen;
};

// Installed with glfwSetErrorCallback before GLFW starts, so failures of
// initialisation and window creation are reported too.
void glfwErrorCallback(int code, const char* description);
