#include "framework/Gamepad.h"

#include <iostream>

#include "framework/Input.h"

namespace gamepad {
namespace {

#ifdef VELTRA_GAMEPAD_FROM_JOYSTICK
// A browser lays out the buttons of a pad it knows in its "standard"
// mapping; where it gives all seventeen, they are read into GLFW 3.3's
// places (A, B, X and Y alike; Start, then the D-pad, further on).
class GlfwPads : public PadSource {
  public:
    bool readState(int id, GLFWgamepadstate& state) override {
        int buttonCount = 0;
        int axisCount = 0;
        const unsigned char* buttons = glfwGetJoystickButtons(id, &buttonCount);
        const float* axes = glfwGetJoystickAxes(id, &axisCount);
        if (buttons == nullptr || axes == nullptr || buttonCount < 17 || axisCount < 2) {
            return false;
        }
        state = GLFWgamepadstate{};
        constexpr int kStandard[][2] = {
            {0, GLFW_GAMEPAD_BUTTON_A},          {3, GLFW_GAMEPAD_BUTTON_Y},
            {9, GLFW_GAMEPAD_BUTTON_START},      {12, GLFW_GAMEPAD_BUTTON_DPAD_UP},
            {13, GLFW_GAMEPAD_BUTTON_DPAD_DOWN}, {14, GLFW_GAMEPAD_BUTTON_DPAD_LEFT},
            {15, GLFW_GAMEPAD_BUTTON_DPAD_RIGHT}};
        for (const auto& [from, to] : kStandard) {
            state.buttons[to] = buttons[from];
        }
        state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = axes[0];
        state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = axes[1];
        return true;
    }
    std::string name(int id) override {
        const char* padName = glfwGetJoystickName(id);
        return padName != nullptr ? padName : "unnamed pad";
    }
};
#else
class GlfwPads : public PadSource {
  public:
    bool readState(int id, GLFWgamepadstate& state) override {
        return glfwJoystickIsGamepad(id) == GLFW_TRUE &&
               glfwGetGamepadState(id, &state) == GLFW_TRUE;
    }
    std::string name(int id) override {
        const char* padName = glfwGetGamepadName(id);
        return padName != nullptr ? padName : "unnamed pad";
    }
};
#endif

bool pressed(const GLFWgamepadstate& state, int button) {
    return state.buttons[button] == GLFW_PRESS;
}

}  // namespace

std::unique_ptr<PadSource> glfwPads() {
    return std::make_unique<GlfwPads>();
}

PadKeys keysOf(const GLFWgamepadstate& state) {
    // GLFW's stick axes run from -1 (left, up) to 1 (right, down).
    const float x = state.axes[GLFW_GAMEPAD_AXIS_LEFT_X];
    const float y = state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y];
    PadKeys keys;
    keys.up = y < -kDeadZone || pressed(state, GLFW_GAMEPAD_BUTTON_DPAD_UP);
    keys.down = y > kDeadZone || pressed(state, GLFW_GAMEPAD_BUTTON_DPAD_DOWN);
    keys.left = x < -kDeadZone || pressed(state, GLFW_GAMEPAD_BUTTON_DPAD_LEFT);
    keys.right = x > kDeadZone || pressed(state, GLFW_GAMEPAD_BUTTON_DPAD_RIGHT);
    keys.space = pressed(state, GLFW_GAMEPAD_BUTTON_A) || pressed(state, GLFW_GAMEPAD_BUTTON_START);
    keys.camera = pressed(state, GLFW_GAMEPAD_BUTTON_Y);
    return keys;
}

Gamepads::Gamepads(std::unique_ptr<PadSource> source) : source(std::move(source)) {}

Gamepads::~Gamepads() {
    Input::releaseAllDeviceKeys();
}

void Gamepads::update() {
    PadKeys held;
    for (int id = 0; id <= GLFW_JOYSTICK_LAST; ++id) {
        GLFWgamepadstate state{};
        const bool present = source->readState(id, state);
        bool& wasPresent = connected[static_cast<size_t>(id)];
        std::string& padName = names[static_cast<size_t>(id)];
        if (present && !wasPresent) {
            padName = source->name(id);
            std::cout << "Gamepad connected: " << padName << std::endl;
        } else if (!present && wasPresent) {
            std::cout << "Gamepad disconnected: " << padName << std::endl;
        }
        wasPresent = present;
        if (!present) {
            continue;
        }
        const PadKeys keys = keysOf(state);
        held.up = held.up || keys.up;
        held.down = held.down || keys.down;
        held.left = held.left || keys.left;
        held.right = held.right || keys.right;
        held.space = held.space || keys.space;
        held.camera = held.camera || keys.camera;
    }
    Input::setDeviceKeyDown(GLFW_KEY_W, held.up);
    Input::setDeviceKeyDown(GLFW_KEY_S, held.down);
    Input::setDeviceKeyDown(GLFW_KEY_A, held.left);
    Input::setDeviceKeyDown(GLFW_KEY_D, held.right);
    Input::setDeviceKeyDown(GLFW_KEY_SPACE, held.space);
    Input::setDeviceKeyDown(GLFW_KEY_1, held.camera);
}

}  // namespace gamepad
