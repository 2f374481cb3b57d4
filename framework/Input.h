#pragma once

struct GLFWwindow;

// The keyboard module: the one place that knows GLFW's key state. Keys are
// GLFW key codes. The event tables live for the whole program and are never
// cleared, not even at a restart.
namespace Input {

// Keeps the window and installs the key callback.
void init(GLFWwindow* window);

// GLFW key callback: a press sets the key's pressed event, a release its
// released event; repeats are ignored.
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);

// Live state of a key (false when no window is stored and nothing is held
// through the test seam).
bool isKeyDown(int key);

// One pending event per key, consumed by the query.
bool wasPressed(int key);
bool wasReleased(int key);

// Keys held through another device (a gamepad), alongside the keyboard: a
// key so held reads as down in isKeyDown, and each change posts the key's
// press or release event, as the keyboard would. Keys outside GLFW's range
// are ignored.
void setDeviceKeyDown(int key, bool down);
void releaseAllDeviceKeys();

// Test seam: hold keys and post events without a window. A held key reads
// as down in isKeyDown whatever the window says.
void holdKey(int key);
void releaseHeldKey(int key);
void releaseAllHeldKeys();
void postEvent(int key, int action);  // GLFW_PRESS or GLFW_RELEASE

}  // namespace Input
