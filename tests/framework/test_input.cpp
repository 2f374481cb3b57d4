#include <gtest/gtest.h>

#include "framework/Gl.h"
#include "framework/Input.h"

namespace {

// The tables live for the whole program, so each test uses its own keys.

TEST(InputTest, PressIsReportedOnceAndConsumed) {
    Input::postEvent(GLFW_KEY_H, GLFW_PRESS);
    EXPECT_TRUE(Input::wasPressed(GLFW_KEY_H));
    EXPECT_FALSE(Input::wasPressed(GLFW_KEY_H));
}

TEST(InputTest, PressAndReleaseAreSeparateTables) {
    Input::postEvent(GLFW_KEY_SPACE, GLFW_PRESS);
    EXPECT_FALSE(Input::wasReleased(GLFW_KEY_SPACE));
    Input::postEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
    EXPECT_TRUE(Input::wasReleased(GLFW_KEY_SPACE));
    EXPECT_FALSE(Input::wasReleased(GLFW_KEY_SPACE));
    // The press is still pending: releasing did not consume it.
    EXPECT_TRUE(Input::wasPressed(GLFW_KEY_SPACE));
}

TEST(InputTest, SeveralPressesBetweenQueriesGiveOneEvent) {
    for (int i = 0; i < 3; ++i) {
        Input::postEvent(GLFW_KEY_PERIOD, GLFW_PRESS);
    }
    EXPECT_TRUE(Input::wasPressed(GLFW_KEY_PERIOD));
    EXPECT_FALSE(Input::wasPressed(GLFW_KEY_PERIOD));
}

TEST(InputTest, RepeatsAreIgnored) {
    Input::postEvent(GLFW_KEY_COMMA, GLFW_REPEAT);
    EXPECT_FALSE(Input::wasPressed(GLFW_KEY_COMMA));
    EXPECT_FALSE(Input::wasReleased(GLFW_KEY_COMMA));
}

TEST(InputTest, KeyCallbackFillsTheSameTables) {
    Input::keyCallback(nullptr, GLFW_KEY_F1, 59, GLFW_RELEASE, GLFW_MOD_SHIFT);
    EXPECT_TRUE(Input::wasReleased(GLFW_KEY_F1));
    EXPECT_FALSE(Input::wasPressed(GLFW_KEY_F1));
}

TEST(InputTest, UnknownKeyHasNoEvent) {
    EXPECT_FALSE(Input::wasPressed(GLFW_KEY_KP_9));
    EXPECT_FALSE(Input::wasReleased(GLFW_KEY_KP_9));
}

TEST(InputTest, HeldKeysReadAsDownWithoutAWindow) {
    EXPECT_FALSE(Input::isKeyDown(GLFW_KEY_W));
    Input::holdKey(GLFW_KEY_W);
    Input::holdKey(GLFW_KEY_LEFT);
    EXPECT_TRUE(Input::isKeyDown(GLFW_KEY_W));
    EXPECT_TRUE(Input::isKeyDown(GLFW_KEY_LEFT));
    EXPECT_FALSE(Input::isKeyDown(GLFW_KEY_S));
    // Holding is live state, not an event.
    EXPECT_FALSE(Input::wasPressed(GLFW_KEY_W));

    Input::releaseHeldKey(GLFW_KEY_W);
    EXPECT_FALSE(Input::isKeyDown(GLFW_KEY_W));
    EXPECT_TRUE(Input::isKeyDown(GLFW_KEY_LEFT));
    Input::releaseAllHeldKeys();
    EXPECT_FALSE(Input::isKeyDown(GLFW_KEY_LEFT));
}

}  // namespace
