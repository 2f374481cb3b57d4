#include "app/RunLoop.h"

#include <utility>

#include "app/CloseRequest.h"
#include "app/ProcessInput.h"
#include "app/SceneAssembly.h"
#include "app/WindowManager.h"
#include "framework/Gl.h"
#include "framework/Input.h"
#include "framework/Screenshot.h"
#include "render/Camera.h"
#include "render/DebugCamera.h"
#include "render/HeadsUpDisplay.h"
#include "render/Material.h"
#include "render/RenderPipeline.h"
#include "render/ThirdPersonCamera.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

RunLoop::RunLoop(GLFWwindow* window, WindowManager& windowManager, bool runHeadless,
                 std::string screenshotName, const StartupValues& values)
    : window(window),
      windowManager(windowManager),
      runHeadless(runHeadless),
      screenshotName(std::move(screenshotName)),
      values(values) {}

void RunLoop::run() {
    while (playRun()) {
    }
}

void RunLoop::releaseKeptHandles() {
    keptHud.reset();
    keptWorldManager.reset();
}

bool RunLoop::playRun() {
    glfwSetWindowTitle(window, kLoadingTitle);
    if (keptHud != nullptr && keptWorldManager != nullptr) {
        drawLoadingScreen();
    }

    Scene scene =
        assembleScene(values.width, values.height, values.startPosition, values.fov, values.near,
                      values.far, values.moveSpeed, values.rotationSpeed, values.yaw, values.pitch);
    glfwSetWindowTitle(window, kPlayingTitle);

    restart = false;
    currentTime = static_cast<float>(glfwGetTime());

    // A close request that arrived while the scene was built skips its frames.
    if (!closeRequested(window)) {
        while (frame(scene)) {
        }
    }

    // The finished run's world manager (with everything it owns) and HUD
    // live on through the next run, which draws its loading screen with them;
    // its sounds stop now, so its music does not play on under the next run's.
    if (scene.worldManager != nullptr) {
        scene.worldManager->stopSounds();
    }
    keptHud = scene.worldManager != nullptr ? scene.worldManager->getHud() : nullptr;
    keptWorldManager = scene.worldManager;

    const bool closing = closeRequested(window);
    scene = Scene{};
    return !closing;
}

bool RunLoop::frame(Scene& scene) {
    if (restart) {
        return false;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwPollEvents();

    // Variable step: neither clamped nor smoothed.
    previousTime = currentTime;
    currentTime = static_cast<float>(glfwGetTime());
    const float dt = currentTime - previousTime;

    processInput(window, windowManager, scene.worldManager, scene.player, scene.debugCamera,
                 scene.thirdPersonCamera, &restart);

    if (scene.waterMaterial != nullptr) {
        scene.waterMaterial->update(dt);
    }
    if (scene.worldManager != nullptr) {
        WorldManager& worldManager = *scene.worldManager;
        // The world always advances at the frame size the level was built
        // for, whatever the window's size is now.
        worldManager.update(dt, values.width, values.height);
        drawFrame(scene);
    }

    // The back buffer is read before it is presented: after the swap its
    // content is up to the driver.
    // F12 saves the frame on demand, as headless mode does after each run's
    // first frame.
    if (runHeadless || Input::wasReleased(GLFW_KEY_F12)) {
        saveScreenshot(screenshotName, values.width, values.height);
    }
    glfwSwapBuffers(window);
    if (runHeadless) {
        return false;
    }
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

void RunLoop::drawFrame(Scene& scene) {
    WorldManager& worldManager = *scene.worldManager;
    if (worldManager.state != GameState::Waiting) {
        if (scene.renderPipeline != nullptr) {
            scene.renderPipeline->render(worldManager);
        }
        return;
    }
    // Before the first start only the HUD draws: the tutorial picture.
    const std::shared_ptr<HeadsUpDisplay> hud = worldManager.getHud();
    if (hud != nullptr) {
        int framebufferWidth = 0;
        int framebufferHeight = 0;
        glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
        hud->render(framebufferWidth, framebufferHeight, worldManager);
    }
}
