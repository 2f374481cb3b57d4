#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <glm/glm.hpp>

#include "app/Scene.h"
#include "framework/FramePacer.h"
#include "framework/Gamepad.h"
#include "framework/Settings.h"

struct GLFWwindow;
class BestRuns;
class HeadsUpDisplay;
class WindowManager;
class WorldManager;

// What start-up hands to every run's scene assembly.
struct StartupValues {
    // The frame size every run is built and updated for, whatever the
    // window's size later becomes.
    int32_t width = 1080;
    int32_t height = 720;
    glm::vec3 startPosition{-100.0f, 20.0f, -200.0f};
    float fov = 60.0f;
    float near = 0.1f;
    float far = kCameraFarPlane;
    float moveSpeed = 15.0f;
    float rotationSpeed = 10.0f;
    float yaw = 0.0f;
    float pitch = 0.0f;
    // Frames a second at most (0: as fast as the driver presents them).
    float maxFps = 0.0f;
};

// The defaults above with the camera's settings-file values.
StartupValues startupValuesFrom(const CameraSettings& camera);

// Window titles while a run is built and while it is played (UTF-8).
inline constexpr const char* kLoadingTitle = "VELTRA  \xE2\x80\x94  loading\xE2\x80\xA6";
inline constexpr const char* kPlayingTitle = "VELTRA";

// Runs the game: each run assembles a fresh scene and plays frames until a
// restart, a close request or, in headless mode, the first frame. The world
// manager and HUD of a finished run are kept for the next run's loading
// screen and let go once it is drawn.
class RunLoop {
  public:
    // Headless runs save their first frame as screenshotName + ".ppm"; F12
    // saves time-stamped PNGs into screenshotDirectory (empty: the working
    // directory). Won runs join bestRuns, which the start screen shows;
    // none: nothing is kept (headless runs).
    RunLoop(GLFWwindow* window, WindowManager& windowManager, bool runHeadless,
            std::string screenshotName, std::filesystem::path screenshotDirectory,
            const StartupValues& values, std::shared_ptr<BestRuns> bestRuns = nullptr);

    // Returns when the window has been asked to close.
    void run();
    // One step of run(): the next frame of the run, or the next part of
    // starting one (its loading screen, then its assembly). False once the
    // window has been asked to close. For a browser's frame callback.
    bool step();

    // Lets go of the last run's world manager and HUD (at shut-down).
    void releaseKeptHandles();

  private:
    enum class Stage { LoadingScreen, Assembly, Frames };

    // Whether the finished run's loading screen was drawn.
    bool showLoadingScreen();
    void assembleRun();
    // Lets the run go; false when the window has been asked to close.
    bool finishRun();
    // One frame; false when the run ends.
    bool frame(Scene& scene);
    void drawLoadingScreen();

    GLFWwindow* window;
    WindowManager& windowManager;
    bool runHeadless;
    std::string screenshotName;
    std::filesystem::path screenshotDirectory;
    StartupValues values;

    // Pads play alongside the keyboard, read once a frame.
    gamepad::Gamepads gamepads{gamepad::glfwPads()};
    FramePacer pacer;
    bool restart = false;
    float previousTime = 0.0f;
    float currentTime = 0.0f;
    std::shared_ptr<BestRuns> bestRuns;
    Stage stage = Stage::LoadingScreen;
    Scene scene;
    // G's choice outlives the run it was made in.
    bool ghostShown = true;
    std::shared_ptr<HeadsUpDisplay> keptHud;
    std::shared_ptr<WorldManager> keptWorldManager;
};
