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
    if (!glfwInit()) {
        return nullptr;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(1080, 720, "veltra-bench", nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        closeContext();
        return nullptr;
    }
    glGetError();  // glewInit's harmless GL_INVALID_ENUM on core profiles
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
