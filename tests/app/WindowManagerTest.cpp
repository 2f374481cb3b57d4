// The game's window on the X server the tests run on: the fullscreen
// toggle covers the primary monitor and comes back as an 800 by 600 window
// at (100, 100), not at the start-up size, and Enter hands the new aspect
// to the camera that was active before the frame's keys.
#include <array>
#include <memory>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/ProcessInput.h"
#include "render/DebugCamera.h"
#include "render/ThirdPersonCamera.h"
#include "world/WorldManager.h"

using app_test::tap;
using Size = std::array<int, 2>;

namespace {

class GameWindow : public app_test::AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        if (window == nullptr) {
            return;
        }
        // The level's objects belong to the test context: built there.
        scene = app_test::buildLevel();
        manager = &theGameWindow();
        ASSERT_NE(manager->getWindow(), nullptr) << "the game's window did not open";
        const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
        ASSERT_NE(mode, nullptr);
        monitor = {mode->width, mode->height};
        glfwMakeContextCurrent(manager->getWindow());
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    // The base makes the test context current again, where the level goes.
    void TearDown() override {
        if (manager != nullptr && manager->isFullscreen()) {
            manager->toggleFullscreen(nullptr);
        }
        AppTest::TearDown();
    }

    // Opened once as main opens it (from GLFW's default hints) and kept
    // until the process ends: closing it would end GLFW for the test context.
    static WindowManager& theGameWindow() {
        static WindowManager game("VELTRA", 1080, 720, false);
        static const bool opened = [] {
            glfwDefaultWindowHints();
            const bool made = game.init();
            if (made) {
                glfwGetWindowSize(game.getWindow(), &openedSize[0], &openedSize[1]);
            }
            return made;
        }();
        (void)opened;
        return game;
    }
    static inline Size openedSize{};

    // Where the window is, its size and viewport, what it covers, and the
    // aspect of the camera that was told.
    void expectPlacement(int x, int y, Size size, GLFWmonitor* covered, const Camera* told) {
        std::array<int, 4> placed{};
        glfwGetWindowPos(manager->getWindow(), &placed[0], &placed[1]);
        glfwGetWindowSize(manager->getWindow(), &placed[2], &placed[3]);
        EXPECT_EQ(placed, (std::array<int, 4>{x, y, size[0], size[1]}));
        std::array<GLint, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, size[0], size[1]}));
        EXPECT_EQ(glfwGetWindowMonitor(manager->getWindow()), covered);
        EXPECT_EQ(manager->isFullscreen(), covered != nullptr);
        EXPECT_EQ((Size{manager->getWidth(), manager->getHeight()}), size);
        if (told != nullptr) {
            EXPECT_FLOAT_EQ(told->getAspectRatio(), static_cast<float>(size[0]) / size[1]);
        }
    }
    void expectFullscreen(const Camera* told) {
        expectPlacement(0, 0, monitor, glfwGetPrimaryMonitor(), told);
    }
    void expectWindowed(const Camera* told) {
        expectPlacement(100, 100, {800, 600}, nullptr, told);
    }

    WindowManager* manager = nullptr;
    Size monitor{};
};

TEST_F(GameWindow, TheToggleCoversTheMonitorAndComesBackAsAnEightHundredBySixHundredWindow) {
    EXPECT_EQ(openedSize, (Size{1080, 720}));
    auto camera =
        std::make_shared<DebugCamera>(glm::vec3(0.0f), 60.0f, 1.5f, 0.1f, 100.0f, 15.0f, 10.0f);
    for (const std::shared_ptr<Camera>& told :
         {std::shared_ptr<Camera>(camera), std::shared_ptr<Camera>()}) {
        manager->toggleFullscreen(told);
        expectFullscreen(told.get());
        manager->toggleFullscreen(told);
        expectWindowed(told.get());
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GameWindow, EnterTogglesInEveryStateAndTheCameraActiveBeforeTheKeysLearnTheAspect) {
    WorldManager& world = *scene.worldManager;
    auto enter = [&](bool withWorld) {
        tap(GLFW_KEY_ENTER);
        processInput(manager->getWindow(), *manager, withWorld ? scene.worldManager : nullptr,
                     scene.player, scene.debugCamera, scene.thirdPersonCamera, nullptr);
    };
    for (GameState state :
         {GameState::Waiting, GameState::Countdown, GameState::Lost, GameState::Won}) {
        SCOPED_TRACE(static_cast<int>(state));
        world.state = state;
        enter(true);
        expectFullscreen(scene.thirdPersonCamera.get());
        enter(true);
        expectWindowed(scene.thirdPersonCamera.get());
        EXPECT_EQ(world.state, state);
    }
    // Enter and 1 in one flight frame: the chase camera is resized, then left.
    world.state = GameState::Playing;
    const float debugAspect = scene.debugCamera->getAspectRatio();
    tap(GLFW_KEY_1);
    enter(true);
    expectFullscreen(scene.thirdPersonCamera.get());
    EXPECT_EQ(world.getCamera(), scene.debugCamera);
    EXPECT_EQ(scene.debugCamera->getAspectRatio(), debugAspect);
    enter(true);
    expectWindowed(scene.debugCamera.get());
    // Without a world manager the window still moves.
    enter(false);
    expectFullscreen(nullptr);
    enter(false);
    expectWindowed(nullptr);
}

}  // namespace
