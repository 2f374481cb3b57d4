#pragma once

#include <array>
#include <string>

#include "framework/Gamepad.h"

// Pads a test plugs in, moves and pulls out: this machine has no input
// devices, so the gamepad code is fed states through its source.
namespace testing_support {

class FakePads : public gamepad::PadSource {
  public:
    struct Pad {
        bool present = false;
        std::string name = "Test Pad";
        GLFWgamepadstate state{};
    };

    // Shared with the test, which keeps a pointer after handing the source on.
    std::array<Pad, GLFW_JOYSTICK_LAST + 1> pads;

    bool readState(int id, GLFWgamepadstate& state) override {
        const Pad& pad = pads[static_cast<size_t>(id)];
        if (pad.present) {
            state = pad.state;
        }
        return pad.present;
    }
    std::string name(int id) override { return pads[static_cast<size_t>(id)].name; }

    Pad& pad(int id) { return pads[static_cast<size_t>(id)]; }
    void setButton(int id, int button, bool down) {
        pad(id).state.buttons[button] = down ? GLFW_PRESS : GLFW_RELEASE;
    }
    void setAxis(int id, int axis, float value) { pad(id).state.axes[axis] = value; }
};

}  // namespace testing_support
