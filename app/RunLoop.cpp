#include "app/RunLoop.h"

#include <utility>

#include "app/CloseRequest.h"
#include "app/ProcessInput.h"
#include "app/SceneAssembly.h"
#include "app/WindowManager.h"
#include "framework/Gl.h"
#include "framework/Screenshot.h"
#include "render/Camera.h"
#include "render/HeadsUpDisplay.h"
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
    // live on through the next run, which draws its loading screen with them.
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
    (void)dt;

    // The scene's cameras reach the key handling as Camera handles once the
    // debug and third-person camera classes are linked into the game.
    processInput(window, windowManager, scene.worldManager, scene.player, nullptr, nullptr,
                 &restart);

    // Per-frame simulation plugs in here, in this order, each skipped while
    // the scene lacks it: the water material's wave time advances by dt, then
    // the world manager updates with dt, values.width and values.height.

    // Drawing plugs in here: outside Waiting the render pipeline draws the
    // world manager's level; in Waiting only the HUD draws, at the
    // framebuffer's size, showing the tutorial picture.

    // The back buffer is read before it is presented: after the swap its
    // content is up to the driver.
    if (runHeadless) {
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
    // The HUD draws here with framebufferWidth, framebufferHeight and the
    // kept world manager, once its drawing is linked into the game.
    keptHud->title.clear();
    keptHud->titleVisible = false;

    glfwSwapBuffers(window);
    glfwPollEvents();
}
