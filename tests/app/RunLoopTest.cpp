// How runs end. RunLoop::run returns once the window has been asked to
// close (by Escape, the window system or a termination signal); between its
// frames it offers no way in, so the restart request is followed through
// stepFrame, the half of the loop's frame that sets it.
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/CloseRequest.h"
#include "app/Frame.h"
#include "world/WorldManager.h"

using app_test::tap;

namespace {

class RunEnd : public app_test::AppTest {
  protected:
    // The loop as main runs it, on the test window.
    void runTheLoop() {
        (void)app_test::nullSoundOutput;
        testing::internal::CaptureStdout();
        RunLoop loop(window, app_test::windowlessManager(), false, "screenshot",
                     std::filesystem::temp_directory_path(), StartupValues{});
        loop.run();
        loop.releaseKeptHandles();
        testing::internal::GetCapturedStdout();
    }
    // Whether a frame ran: it would have taken the F1 tapped before the run.
    static bool aFrameRan() {
        return RenderFlags::isWireframe() && !Input::wasReleased(GLFW_KEY_F1);
    }
};

TEST_F(RunEnd, EscapeEndsTheLoopAfterTheFrameThatHandledIt) {
    tap(GLFW_KEY_ESCAPE);
    tap(GLFW_KEY_F1);
    runTheLoop();
    EXPECT_EQ(glfwWindowShouldClose(window), GLFW_TRUE);
    EXPECT_FALSE(Input::wasReleased(GLFW_KEY_ESCAPE));
    EXPECT_TRUE(aFrameRan());
}

TEST_F(RunEnd, ACloseRequestFromTheWindowSystemEndsTheLoopWithoutAFrame) {
    glfwSetWindowShouldClose(window, GLFW_TRUE);
    EXPECT_TRUE(closeRequested(window));
    tap(GLFW_KEY_F1);
    runTheLoop();
    EXPECT_FALSE(aFrameRan());
}

#ifndef _WIN32
// A signal's close request lasts for the rest of the process: the case runs
// in a child process of its own.
TEST_F(RunEnd, ATerminationSignalBecomesTheWindowsCloseRequestAndEndsTheLoop) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            installCloseSignalHandlers();
            const bool before = closeRequested(window);
            std::raise(SIGTERM);
            if (before || !closeRequested(window) || glfwWindowShouldClose(window) != GLFW_TRUE) {
                std::_Exit(1);
            }
            // Cleared, the flag is set again from the pending request.
            glfwSetWindowShouldClose(window, GLFW_FALSE);
            tap(GLFW_KEY_F1);
            runTheLoop();
            std::_Exit(aFrameRan() ? 2 : 0);
        },
        testing::ExitedWithCode(0), "");
}
#endif

TEST_F(RunEnd, SpaceAfterTheTimeRunsOutAsksForARestartThatLastsUntilTheLoopActs) {
    scene = app_test::buildLevel();
    WorldManager& world = *scene.worldManager;
    bool restart = false;
    auto frame = [&](bool space) {
        if (space) {
            tap(GLFW_KEY_SPACE);
        }
        stepFrame(scene, 0.1f, 1080, 720, window, app_test::windowlessManager(), &restart);
    };
    // The flight's last tenth of a second.
    world.state = GameState::Playing;
    world.timeLeft = 0.05f;
    frame(false);
    ASSERT_EQ(world.state, GameState::Lost);
    frame(true);
    EXPECT_TRUE(restart);
    // Later frames and another Space neither clear it nor change the outcome.
    frame(false);
    frame(true);
    EXPECT_TRUE(restart);
    EXPECT_EQ(world.state, GameState::Lost);
    EXPECT_EQ(world.timeLeft, 0.0f);
}

}  // namespace
