// Writes pictures of the game's frames for a person to look at; no test
// reads them. Run from the build folder (the level opens "../assets"):
//   xvfb-run -a ./veltra_pictures [FOLDER]        (default: the working folder)
// FOLDER/start-screen.ppm   the first frame of a run: the tutorial screen
// FOLDER/flight.ppm         two seconds into the flight, HUD and bloom on
// FOLDER/game-over.ppm      the same flight after a dive into the ground
#include <filesystem>
#include <iostream>
#include <string>

#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "framework/Framework.h"
#include "framework/Gl.h"
#include "framework/GlContext.h"
#include "framework/Input.h"
#include "framework/Screenshot.h"
#include "render/RenderPipeline.h"
#include "world/GameRandom.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

namespace {

constexpr float kFrameSeconds = 1.0f / 30.0f;

void frames(Scene& scene, int count, const StartupValues& values) {
    for (int i = 0; i < count; ++i) {
        scene.worldManager->update(kFrameSeconds, values.width, values.height);
    }
    scene.renderPipeline->render(*scene.worldManager, values.width, values.height);
}

bool save(const std::filesystem::path& folder, const std::string& name,
          const StartupValues& values) {
    const std::string path = (folder / name).string();
    if (!saveScreenshot(path, values.width, values.height)) {
        return false;
    }
    std::cout << "wrote " << path << ".ppm" << std::endl;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
    const StartupValues values;
    GLFWwindow* window = createHiddenContext(values.width, values.height, "veltra-pictures");
    if (window == nullptr) {
        std::cerr << "veltra_pictures: no OpenGL context (run it under xvfb-run)" << std::endl;
        return 1;
    }
    initFramework();
    glEnable(GL_DEPTH_TEST);
    // A fixed ring layout, so the pictures of two builds can be compared.
    GameRandom::reseedEngine(20240611);
    Scene scene =
        assembleScene(values.width, values.height, values.startPosition, values.fov, values.near,
                      values.far, values.moveSpeed, values.rotationSpeed, values.yaw, values.pitch);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    frames(scene, 1, values);
    bool saved = save(folder, "start-screen", values);

    scene.worldManager->state = GameState::Playing;
    scene.player->setSpeed(10.0f);
    frames(scene, 60, values);
    saved = save(folder, "flight", values) && saved;

    // Nose down until the ground ends the run.
    Input::holdKey(GLFW_KEY_S);
    for (int i = 0; i < 600 && scene.worldManager->state == GameState::Playing; ++i) {
        frames(scene, 1, values);
    }
    Input::releaseAllHeldKeys();
    frames(scene, 1, values);
    saved = save(folder, "game-over", values) && saved;

    scene = Scene{};
    shutdownFramework();
    glfwDestroyWindow(window);
    glfwTerminate();
    return saved ? 0 : 1;
}
