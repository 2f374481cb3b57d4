#include "BenchContext.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "framework/Framework.h"
#include "framework/Gl.h"
#include "framework/GlContext.h"
#include "world/GameRandom.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

namespace bench {
namespace {

GLFWwindow* window = nullptr;

void closeContext() {
    shutdownFramework();
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
    glfwTerminate();
}

}  // namespace

GLFWwindow* glContext() {
    static bool attempted = false;
    if (attempted) {
        return window;
    }
    attempted = true;
    window = createHiddenContext(1080, 720, "veltra-bench");
    if (window == nullptr) {
        return nullptr;
    }
    initFramework();
    glEnable(GL_DEPTH_TEST);
    std::atexit(closeContext);
    return window;
}

Scene playingLevel() {
    const StartupValues values;
    // A fixed ring layout: every run measures the same level.
    GameRandom::reseedEngine(20240611);
    Scene scene;
    {
        QuietStdout quiet;
        scene = assembleScene(values.width, values.height, values.startPosition, values.fov,
                              values.near, values.far, values.moveSpeed, values.rotationSpeed,
                              values.yaw, values.pitch);
    }
    scene.worldManager->state = GameState::Playing;
    scene.player->setSpeed(10.0f);
    return scene;
}

CacheSweep::CacheSweep(bool enabled) : buffer(enabled ? 64u << 20 : 0u) {}

void CacheSweep::evict(benchmark::State& state) {
    if (buffer.empty()) {
        return;
    }
    state.PauseTiming();
    for (size_t i = 0; i < buffer.size(); i += 64) {
        buffer[i] = static_cast<uint8_t>(buffer[i] + 1);
    }
    state.ResumeTiming();
}

QuietStdout::QuietStdout() {
    std::cout.flush();
    std::fflush(stdout);
    savedDescriptor = dup(STDOUT_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere >= 0) {
        dup2(nowhere, STDOUT_FILENO);
        close(nowhere);
    }
}

QuietStdout::~QuietStdout() {
    std::cout.flush();
    std::fflush(stdout);
    if (savedDescriptor >= 0) {
        dup2(savedDescriptor, STDOUT_FILENO);
        close(savedDescriptor);
    }
}

}  // namespace bench
