// The global keys on the shipped level in every state a run passes
// through: what each one changes and what it leaves alone.
#include <array>
#include <tuple>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/Frame.h"
#include "app/ProcessInput.h"
#include "render/DebugCamera.h"
#include "render/RenderPipeline.h"
#include "render/ThirdPersonCamera.h"
#include "world/Sound.h"
#include "world/WorldManager.h"

using app_test::tap;

namespace {

enum class Moment { StartScreen, Countdown, Flight, Paused, GameOver, TimeUp, Won };
const Moment kEveryMoment[] = {Moment::StartScreen, Moment::Countdown, Moment::Flight,
                               Moment::Paused,      Moment::GameOver,  Moment::TimeUp,
                               Moment::Won};
const char* nameOf(Moment moment) {
    return std::array{"start screen", "countdown", "flight", "paused",
                      "game over",    "time up",   "won"}[static_cast<size_t>(moment)];
}

GLint polygonMode() {
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    return modes[0];
}

class GlobalKeys : public app_test::AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        if (window != nullptr) {
            scene = app_test::buildLevel();
            world = scene.worldManager.get();
        }
    }

    // The level at the moment as the rules leave it, the chase camera active.
    void reach(Moment moment) {
        if (world->isPaused()) {
            world->state = GameState::Playing;
            world->togglePause();
        }
        world->setCamera(scene.thirdPersonCamera);
        world->timeLeft = moment == Moment::TimeUp ? 0.0f : 60.0f;
        world->countdown = moment == Moment::Countdown ? 2.0f : 0.0f;
        restart = false;
        const GameState states[] = {GameState::Waiting, GameState::Countdown, GameState::Playing,
                                    GameState::Playing, GameState::Lost,      GameState::Lost,
                                    GameState::Won};
        world->state = states[static_cast<int>(moment)];
        if (moment == Moment::Paused) {
            world->togglePause();
        }
    }
    void handleKeys() {
        processInput(window, app_test::windowlessManager(), scene.worldManager, scene.player,
                     scene.debugCamera, scene.thirdPersonCamera, &restart);
    }

    WorldManager* world = nullptr;
    bool restart = false;
};

TEST_F(GlobalKeys, SpaceStartsTheCountdownPausesAndResumesAndAfterTheEndAsksForARestart) {
    struct Expected {
        Moment moment;
        GameState state;
        bool paused;
        float countdown;
        bool restart;
    };
    const Expected table[] = {
        {Moment::StartScreen, GameState::Countdown, false, 3.0f, false},
        {Moment::Countdown, GameState::Countdown, false, 2.0f, false},
        {Moment::Flight, GameState::Playing, true, 0.0f, false},
        {Moment::Paused, GameState::Playing, false, 0.0f, false},
        {Moment::GameOver, GameState::Lost, false, 0.0f, true},
        {Moment::TimeUp, GameState::Lost, false, 0.0f, true},
        {Moment::Won, GameState::Won, false, 0.0f, true},
    };
    for (const Expected& expected : table) {
        SCOPED_TRACE(nameOf(expected.moment));
        reach(expected.moment);
        // Held down it does nothing: the key acts when it is let go.
        const auto seen = [&] { return std::tuple(world->state, world->isPaused(), restart); };
        const auto before = seen();
        Input::postEvent(GLFW_KEY_SPACE, GLFW_PRESS);
        handleKeys();
        EXPECT_EQ(seen(), before);
        Input::postEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
        handleKeys();
        EXPECT_EQ(world->state, expected.state);
        EXPECT_EQ(world->isPaused(), expected.paused);
        EXPECT_EQ(world->countdown, expected.countdown);
        EXPECT_EQ(restart, expected.restart);
        EXPECT_EQ(glfwWindowShouldClose(window), GLFW_FALSE);
    }
}

TEST_F(GlobalKeys, OneSwitchesBetweenTheCamerasDuringTheFlightOnly) {
    for (Moment moment : kEveryMoment) {
        SCOPED_TRACE(nameOf(moment));
        reach(moment);
        const GameState before = world->state;
        const bool flying = moment == Moment::Flight || moment == Moment::Paused;
        tap(GLFW_KEY_1);
        handleKeys();
        EXPECT_EQ(world->getCamera() == scene.debugCamera, flying);
        tap(GLFW_KEY_1);
        handleKeys();
        EXPECT_EQ(world->getCamera(), scene.thirdPersonCamera);
        EXPECT_EQ(world->state, before);
    }
}

// Neither key looks at the state; neither changes it.
TEST_F(GlobalKeys, EscapeClosesTheWindowAndF1TogglesWireframeInEveryStateTwiceRestoringIt) {
    for (bool wireframe : {false, true}) {
        RenderFlags::setWireframe(wireframe);
        RenderFlags::applyPolygonMode();
        for (Moment moment : kEveryMoment) {
            SCOPED_TRACE(nameOf(moment));
            reach(moment);
            const GameState before = world->state;
            glfwSetWindowShouldClose(window, GLFW_FALSE);
            Input::postEvent(GLFW_KEY_ESCAPE, GLFW_PRESS);
            handleKeys();
            EXPECT_EQ(glfwWindowShouldClose(window), GLFW_FALSE) << "closed before it was let go";
            Input::postEvent(GLFW_KEY_ESCAPE, GLFW_RELEASE);
            tap(GLFW_KEY_F1);
            handleKeys();
            EXPECT_EQ(glfwWindowShouldClose(window), GLFW_TRUE);
            EXPECT_EQ(RenderFlags::isWireframe(), !wireframe);
            EXPECT_EQ(polygonMode(), wireframe ? GL_FILL : GL_LINE);
            tap(GLFW_KEY_F1);
            handleKeys();
            EXPECT_EQ(RenderFlags::isWireframe(), wireframe);
            EXPECT_EQ(polygonMode(), wireframe ? GL_LINE : GL_FILL);
            EXPECT_EQ(world->state, before);
            EXPECT_EQ(world->isPaused(), moment == Moment::Paused);
            EXPECT_EQ(world->getCamera(), scene.thirdPersonCamera);
            EXPECT_FALSE(restart);
        }
    }
}

TEST_F(GlobalKeys, WithoutAWorldManagerOnlyEscapeAndF1Act) {
    for (int key : {GLFW_KEY_SPACE, GLFW_KEY_1, GLFW_KEY_F1, GLFW_KEY_ESCAPE, GLFW_KEY_ENTER}) {
        tap(key);
    }
    processInput(window, app_test::windowlessManager(), nullptr, nullptr, nullptr, nullptr,
                 &restart);
    EXPECT_FALSE(restart);
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_EQ(glfwWindowShouldClose(window), GLFW_TRUE);
    // A manager without a window stays as it is.
    EXPECT_FALSE(app_test::windowlessManager().isFullscreen());
    EXPECT_EQ(app_test::windowlessManager().getWidth(), 1080);
}

// H is read when the frame is drawn and the volume keys when the world is
// updated: both go through the frame calls the run loop makes.
TEST_F(GlobalKeys, HTogglesTheHudAfterTheStartAndFullStopAndCommaStepTheVolumeAlways) {
    const Sound& sound = *world->getSound();
    ASSERT_TRUE(sound.hasEngine()) << "no sound engine on OpenAL's null output";
    for (Moment moment : {Moment::Flight, Moment::Won}) {
        SCOPED_TRACE(nameOf(moment));
        reach(moment);
        for (bool visible : {false, true}) {
            Input::postEvent(GLFW_KEY_H, GLFW_PRESS);
            drawFrame(scene, window);
            EXPECT_EQ(scene.renderPipeline->isHudVisible(), visible);
        }
    }
    EXPECT_FLOAT_EQ(sound.getVolume(), 0.5f);
    for (Moment moment : kEveryMoment) {
        SCOPED_TRACE(nameOf(moment));
        reach(moment);
        const float before = sound.getVolume();
        for (int key : {GLFW_KEY_PERIOD, GLFW_KEY_PERIOD, GLFW_KEY_COMMA}) {
            tap(key);
            stepFrame(scene, 0.0f, 1080, 720, window, app_test::windowlessManager(), &restart);
        }
        EXPECT_NEAR(sound.getVolume(), before + 0.1f, 1e-5f);
    }
}

}  // namespace
