#include "app/RunLoop.h"

#include <optional>
#include <utility>

#include "app/CloseRequest.h"
#include "app/Frame.h"
#include "app/SceneAssembly.h"
#include "app/WindowManager.h"
#include "framework/Gl.h"
#include "framework/Input.h"
#include "framework/Platform.h"
#include "framework/Screenshot.h"
#include "render/Camera.h"
#include "render/DebugCamera.h"
#include "render/HeadsUpDisplay.h"
#include "render/Material.h"
#include "render/RenderPipeline.h"
#include "render/ThirdPersonCamera.h"
#include "world/BestRuns.h"
#include "world/GhostGlider.h"
#include "world/ImagesDecodedAhead.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

StartupValues startupValuesFrom(const CameraSettings& camera) {
    StartupValues values;
    values.fov = camera.fov;
    values.near = camera.near;
    values.moveSpeed = camera.moveSpeed;
    values.rotationSpeed = camera.rotationSpeed;
    values.yaw = camera.yaw;
    values.pitch = camera.pitch;
    return values;
}

RunLoop::RunLoop(GLFWwindow* window, WindowManager& windowManager, bool runHeadless,
                 std::string screenshotName, std::filesystem::path screenshotDirectory,
                 const StartupValues& values, std::shared_ptr<BestRuns> bestRuns)
    : window(window),
      windowManager(windowManager),
      runHeadless(runHeadless),
      screenshotName(std::move(screenshotName)),
      screenshotDirectory(std::move(screenshotDirectory)),
      values(values),
      pacer(values.maxFps),
      bestRuns(std::move(bestRuns)) {}

void RunLoop::run() {
    while (step()) {
    }
}

bool RunLoop::step() {
    switch (stage) {
        case Stage::LoadingScreen:
            stage = Stage::Assembly;
            // Shown for a frame of its own, so that a browser presents it
            // before the level is built; the first run has none to show.
            if (showLoadingScreen()) {
                return true;
            }
            [[fallthrough]];
        case Stage::Assembly:
            assembleRun();
            stage = Stage::Frames;
            // A close request that arrived while the scene was built skips
            // its frames.
            if (closeRequested(window)) {
                return finishRun();
            }
            return true;
        case Stage::Frames:
            return frame(scene) || finishRun();
    }
    return false;
}

void RunLoop::releaseKeptHandles() {
    keptHud.reset();
    keptWorldManager.reset();
}

bool RunLoop::showLoadingScreen() {
    glfwSetWindowTitle(window, kLoadingTitle);
    const bool shown = keptHud != nullptr && keptWorldManager != nullptr;
    if (shown) {
        drawLoadingScreen();
    }
    return shown;
}

void RunLoop::assembleRun() {
    // The loading screen is the finished run's last use: let go of it before
    // the next level is built, so one level's meshes, textures, sky and
    // sounds are held at a time rather than two.
    const bool restarting = keptHud != nullptr;
    if (keptWorldManager != nullptr && keptWorldManager->getGhost() != nullptr) {
        ghostShown = keptWorldManager->getGhost()->isShown();
    }
    releaseKeptHandles();

    // A restart decodes its pictures anew, on a thread of their own while
    // this one compiles the programs and builds the land (the first run's
    // were decoded beside the window's creation).
    std::optional<ImagesDecodedAhead> picturesAhead;
    if (restarting) {
        picturesAhead.emplace(levelPictures(), kPicturesAheadOnRestart);
    }
    scene =
        assembleScene(values.width, values.height, values.startPosition, values.fov, values.near,
                      values.far, values.moveSpeed, values.rotationSpeed, values.yaw, values.pitch);
    picturesAhead.reset();
    if (bestRuns != nullptr && scene.worldManager != nullptr) {
        scene.worldManager->setBestRuns(bestRuns);
        scene.worldManager->getHud()->bestRun = bestRunLine(bestRuns->runs());
        // Each run reads the best flight anew, as it reads every asset.
        if (!bestRuns->folder().empty() && scene.ghost != nullptr) {
            if (std::optional<GhostFlight> best = GhostFlight::load(bestRuns->folder())) {
                scene.ghost->setFlight(std::make_shared<const GhostFlight>(std::move(*best)));
                scene.ghost->setShown(ghostShown);
                scene.worldManager->setGhost(scene.ghost);
            }
        }
    }
    glfwSetWindowTitle(window, kPlayingTitle);

    restart = false;
    currentTime = static_cast<float>(glfwGetTime());
}

bool RunLoop::finishRun() {
    // The finished run's world manager (with everything it owns) and HUD
    // live on into the next run, which draws its loading screen with them;
    // its sounds stop now, so its music does not play on under the next run's.
    if (scene.worldManager != nullptr) {
        scene.worldManager->stopSounds();
    }
    keptHud = scene.worldManager != nullptr ? scene.worldManager->getHud() : nullptr;
    keptWorldManager = scene.worldManager;

    const bool closing = closeRequested(window);
    scene = Scene{};
    stage = Stage::LoadingScreen;
    return !closing;
}

bool RunLoop::frame(Scene& scene) {
    if (restart) {
        return false;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwPollEvents();
    gamepads.update();
    // A hidden browser tab draws no frames: the flight waits in the pause
    // rather than jumping by the whole time away when it comes back.
    if (platform::takePauseRequest() && scene.worldManager != nullptr &&
        scene.worldManager->state == GameState::Playing && !scene.worldManager->isPaused()) {
        scene.worldManager->togglePause();
    }

    // Variable step: neither clamped nor smoothed.
    previousTime = currentTime;
    currentTime = static_cast<float>(glfwGetTime());
    const float dt = currentTime - previousTime;

    stepFrame(scene, dt, values.width, values.height, window, windowManager, &restart);
    drawFrame(scene, window);

    // The back buffer is read before it is presented: after the swap its
    // content is up to the driver. Headless mode saves each run's first
    // frame under its one name; F12 saves the frame as the window shows it,
    // whatever its size now, under a new name each time.
    if (runHeadless) {
        saveScreenshot(screenshotName, values.width, values.height);
    } else if (Input::wasReleased(GLFW_KEY_F12)) {
        int framebufferWidth = 0;
        int framebufferHeight = 0;
        glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
        savePngScreenshot(screenshotDirectory, framebufferWidth, framebufferHeight);
    }
    glfwSwapBuffers(window);
    if (runHeadless) {
        return false;
    }
    pacer.wait();
    return !closeRequested(window);
}

void RunLoop::drawLoadingScreen() {
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);

    // Neither state is restored: the HUD turns depth testing back on itself,
    // and the clear colour stays black from here on.
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    keptHud->title = "LOADING";
    keptHud->titleVisible = true;
    keptHud->render(framebufferWidth, framebufferHeight, *keptWorldManager);
    keptHud->title.clear();
    keptHud->titleVisible = false;

    glfwSwapBuffers(window);
    glfwPollEvents();
}
