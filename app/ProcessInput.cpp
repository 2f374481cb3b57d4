#include "app/ProcessInput.h"

#include "app/RenderFlags.h"
#include "app/WindowManager.h"
#include "framework/Gl.h"
#include "framework/Input.h"
#include "world/WorldManager.h"

namespace {

constexpr float kCountdownSeconds = 3.0f;

void handleSpace(WorldManager& worldManager, bool* restart) {
    switch (worldManager.state) {
        case GameState::Waiting:
            worldManager.countdown = kCountdownSeconds;
            worldManager.state = GameState::Countdown;
            break;
        case GameState::Playing:
            worldManager.togglePause();
            break;
        case GameState::Lost:
        case GameState::Won:
            if (restart != nullptr) {
                *restart = true;
            }
            break;
        case GameState::Countdown:
            break;
    }
}

}  // namespace

void processInput(GLFWwindow* window, WindowManager& windowManager,
                  std::shared_ptr<WorldManager> worldManager,
                  std::shared_ptr<PlayableCharacter> /*player*/,
                  std::shared_ptr<Camera> debugCamera, std::shared_ptr<Camera> thirdPersonCamera,
                  bool* restart) {
    // The camera before any key of this frame acted: Enter resizes it and 1
    // switches away from it.
    const std::shared_ptr<Camera> camera =
        worldManager != nullptr ? worldManager->getCamera() : nullptr;

    if (Input::wasReleased(GLFW_KEY_ESCAPE)) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
    if (Input::wasReleased(GLFW_KEY_F1)) {
        RenderFlags::setWireframe(!RenderFlags::isWireframe());
        RenderFlags::applyPolygonMode();
    }
    if (Input::wasReleased(GLFW_KEY_SPACE) && worldManager != nullptr) {
        handleSpace(*worldManager, restart);
    }
    if (Input::wasReleased(GLFW_KEY_G) && worldManager != nullptr) {
        worldManager->toggleGhost();
    }
    if (Input::wasReleased(GLFW_KEY_ENTER)) {
        windowManager.toggleFullscreen(camera);
    }
    if (Input::wasReleased(GLFW_KEY_1) && worldManager != nullptr &&
        worldManager->state == GameState::Playing) {
        worldManager->setCamera(camera == debugCamera ? thirdPersonCamera : debugCamera);
    }
}
