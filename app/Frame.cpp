#include "app/Frame.h"

#include <memory>

#include "app/ProcessInput.h"
#include "app/Scene.h"
#include "framework/Gl.h"
#include "render/Camera.h"
#include "render/DebugCamera.h"
#include "render/HeadsUpDisplay.h"
#include "render/Material.h"
#include "render/RenderPipeline.h"
#include "render/ThirdPersonCamera.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

void stepFrame(Scene& scene, float dt, int width, int height, GLFWwindow* window,
               WindowManager& windowManager, bool* restart) {
    processInput(window, windowManager, scene.worldManager, scene.player, scene.debugCamera,
                 scene.thirdPersonCamera, restart);
    if (scene.waterMaterial != nullptr) {
        scene.waterMaterial->update(dt);
    }
    if (scene.worldManager != nullptr) {
        scene.worldManager->update(dt, width, height);
    }
}

void drawFrame(Scene& scene, GLFWwindow* window) {
    if (scene.worldManager == nullptr) {
        return;
    }
    WorldManager& worldManager = *scene.worldManager;
    if (worldManager.state != GameState::Waiting) {
        if (scene.renderPipeline != nullptr) {
            scene.renderPipeline->render(worldManager);
        }
        return;
    }
    const std::shared_ptr<HeadsUpDisplay> hud = worldManager.getHud();
    if (hud != nullptr) {
        int framebufferWidth = 0;
        int framebufferHeight = 0;
        glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
        hud->render(framebufferWidth, framebufferHeight, worldManager);
    }
}
