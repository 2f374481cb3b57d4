#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "framework/Gamepad.h"
#include "framework/Input.h"
#include "support/FakePads.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;
using testing_support::FakePads;

class GamepadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto source = std::make_unique<FakePads>();
        pads = source.get();
        CaptureStdout();
        gamepads = std::make_unique<gamepad::Gamepads>(std::move(source));
        pads->pad(0).present = true;
        gamepads->update();
        GetCapturedStdout();
        drainEvents();
    }
    void TearDown() override {
        gamepads.reset();
        Input::releaseAllHeldKeys();
        drainEvents();
    }
    static void drainEvents() {
        for (int key :
             {GLFW_KEY_W, GLFW_KEY_S, GLFW_KEY_A, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_1}) {
            Input::wasPressed(key);
            Input::wasReleased(key);
        }
    }
    // The steering keys held now, as "WSAD" letters.
    static std::string steering() {
        std::string keys;
        for (auto [key, letter] : {std::pair{GLFW_KEY_W, 'W'}, std::pair{GLFW_KEY_S, 'S'},
                                   std::pair{GLFW_KEY_A, 'A'}, std::pair{GLFW_KEY_D, 'D'}}) {
            if (Input::isKeyDown(key)) {
                keys += letter;
            }
        }
        return keys;
    }

    FakePads* pads = nullptr;
    std::unique_ptr<gamepad::Gamepads> gamepads;
};

TEST_F(GamepadTest, TheLeftStickSteersOutsideItsDeadZoneAndTheDpadAlways) {
    const struct {
        float x, y;
        const char* keys;
    } leans[] = {{0.0f, 0.0f, ""},     {0.25f, -0.25f, ""}, {0.0f, -0.8f, "W"},
                 {0.0f, 0.9f, "S"},    {-0.5f, 0.0f, "A"},  {1.0f, 0.0f, "D"},
                 {-0.7f, -0.7f, "WA"}, {0.31f, 0.31f, "SD"}};
    for (const auto& lean : leans) {
        pads->setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_X, lean.x);
        pads->setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_Y, lean.y);
        gamepads->update();
        EXPECT_EQ(steering(), lean.keys) << "stick at " << lean.x << ", " << lean.y;
    }
    pads->setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_X, 0.0f);
    pads->setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_Y, 0.0f);
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_DPAD_UP, true);
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, true);
    gamepads->update();
    EXPECT_EQ(steering(), "WD");
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_DPAD_UP, false);
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, false);
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_DPAD_DOWN, true);
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_DPAD_LEFT, true);
    gamepads->update();
    EXPECT_EQ(steering(), "SA");
}

TEST_F(GamepadTest, AAndStartActAsSpaceAndYAsOneWithOneEventPerPress) {
    for (int button : {GLFW_GAMEPAD_BUTTON_A, GLFW_GAMEPAD_BUTTON_START}) {
        pads->setButton(0, button, true);
        gamepads->update();
        gamepads->update();  // held: no second press
        EXPECT_TRUE(Input::isKeyDown(GLFW_KEY_SPACE));
        EXPECT_TRUE(Input::wasPressed(GLFW_KEY_SPACE));
        EXPECT_FALSE(Input::wasPressed(GLFW_KEY_SPACE));
        EXPECT_FALSE(Input::wasReleased(GLFW_KEY_SPACE));
        pads->setButton(0, button, false);
        gamepads->update();
        EXPECT_FALSE(Input::isKeyDown(GLFW_KEY_SPACE));
        EXPECT_TRUE(Input::wasReleased(GLFW_KEY_SPACE)) << "button " << button;
    }
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_Y, true);
    gamepads->update();
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_Y, false);
    gamepads->update();
    EXPECT_TRUE(Input::wasReleased(GLFW_KEY_1));
    // Other buttons do nothing.
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_B, true);
    pads->setButton(0, GLFW_GAMEPAD_BUTTON_X, true);
    gamepads->update();
    EXPECT_EQ(steering(), "");
    EXPECT_FALSE(Input::isKeyDown(GLFW_KEY_SPACE));
    EXPECT_FALSE(Input::isKeyDown(GLFW_KEY_1));
}

TEST_F(GamepadTest, PadsComingAndGoingAreNamedOnceAndAPulledPadLetsGo) {
    pads->pad(3).present = true;
    pads->pad(3).name = "Second Pad";
    CaptureStdout();
    gamepads->update();
    gamepads->update();
    EXPECT_EQ(GetCapturedStdout(), "Gamepad connected: Second Pad\n");

    pads->setAxis(3, GLFW_GAMEPAD_AXIS_LEFT_Y, -1.0f);
    gamepads->update();
    EXPECT_EQ(steering(), "W");
    pads->pad(3).present = false;
    pads->pad(3).name = "";  // the system no longer knows its name
    CaptureStdout();
    gamepads->update();
    EXPECT_EQ(GetCapturedStdout(), "Gamepad disconnected: Second Pad\n");
    EXPECT_EQ(steering(), "");
    EXPECT_TRUE(Input::wasReleased(GLFW_KEY_W));
}

TEST_F(GamepadTest, TheKeyboardKeepsWorkingAlongsideThePads) {
    Input::holdKey(GLFW_KEY_D);
    pads->pad(1).present = true;
    CaptureStdout();
    gamepads->update();
    GetCapturedStdout();
    // Two pads hold their keys together, and the keyboard's key stays down
    // whatever the pads do.
    pads->setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_Y, 1.0f);
    pads->setButton(1, GLFW_GAMEPAD_BUTTON_DPAD_LEFT, true);
    gamepads->update();
    EXPECT_EQ(steering(), "SAD");
    pads->setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_Y, 0.0f);
    pads->setButton(1, GLFW_GAMEPAD_BUTTON_DPAD_LEFT, false);
    gamepads->update();
    EXPECT_EQ(steering(), "D");
    Input::postEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
    gamepads->update();
    EXPECT_TRUE(Input::wasReleased(GLFW_KEY_SPACE)) << "a key's event survives the pads' update";
}

}  // namespace
