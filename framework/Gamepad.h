#pragma once

#include <array>
#include <memory>
#include <string>

#include "framework/Gl.h"

#ifndef GLFW_GAMEPAD_BUTTON_A
// GLFW before 3.3 (a browser's GLFW) has no gamepad API; its state and the
// names the game reads are GLFW 3.3's.
typedef struct GLFWgamepadstate {
    unsigned char buttons[15];
    float axes[6];
} GLFWgamepadstate;
#define GLFW_GAMEPAD_BUTTON_A 0
#define GLFW_GAMEPAD_BUTTON_Y 3
#define GLFW_GAMEPAD_BUTTON_START 7
#define GLFW_GAMEPAD_BUTTON_DPAD_UP 11
#define GLFW_GAMEPAD_BUTTON_DPAD_RIGHT 12
#define GLFW_GAMEPAD_BUTTON_DPAD_DOWN 13
#define GLFW_GAMEPAD_BUTTON_DPAD_LEFT 14
#define GLFW_GAMEPAD_AXIS_LEFT_X 0
#define GLFW_GAMEPAD_AXIS_LEFT_Y 1
#define VELTRA_GAMEPAD_FROM_JOYSTICK 1
#endif

// Gamepads play like the keyboard: every frame the pads' states become keys
// in the Input module, so the rest of the game knows only keys. The left
// stick and the D-pad steer as W, S, A and D; A or Start is Space (start,
// pause, restart); Y is 1 (the camera). Pads are read through GLFW's gamepad
// API, whose built-in mapping database names the buttons of most pads; a
// pad plugged in or pulled out while the game runs is picked up or dropped
// with one console line.
namespace gamepad {

// How far the stick must lean before it steers: worn sticks rest off centre.
inline constexpr float kDeadZone = 0.3f;

// Where pad states come from: GLFW's joysticks, or a test's pads.
class PadSource {
  public:
    virtual ~PadSource() = default;
    // Whether slot `id` holds a pad with a gamepad mapping, and its state.
    virtual bool readState(int id, GLFWgamepadstate& state) = 0;
    virtual std::string name(int id) = 0;
};

// GLFW's joystick slots (needs glfwInit).
std::unique_ptr<PadSource> glfwPads();

// The keys one pad state holds down: W, S, A, D, Space and 1.
struct PadKeys {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    bool space = false;
    bool camera = false;
};
PadKeys keysOf(const GLFWgamepadstate& state);

class Gamepads {
  public:
    explicit Gamepads(std::unique_ptr<PadSource> source);
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Reads every slot, reports pads that came or went, and sets the keys
    // the pads hold together. Allocates only when a pad comes or goes.
    void update();

  private:
    std::unique_ptr<PadSource> source;
    std::array<bool, GLFW_JOYSTICK_LAST + 1> connected{};
    // Each pad's name while it is connected: a pulled-out pad has none left.
    std::array<std::string, GLFW_JOYSTICK_LAST + 1> names;
};

}  // namespace gamepad
