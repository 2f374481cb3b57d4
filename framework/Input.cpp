#include "framework/Input.h"

#include <bitset>
#include <unordered_map>
#include <unordered_set>

#include "framework/Gl.h"

namespace Input {
namespace {

GLFWwindow* inputWindow = nullptr;
// One flag per key, not a count: several presses between two queries give
// one event.
std::unordered_map<int, bool> pressedEvents;
std::unordered_map<int, bool> releasedEvents;
std::unordered_set<int> heldKeys;
// A fixed table, so a gamepad changing keys every frame allocates nothing.
std::bitset<GLFW_KEY_LAST + 1> deviceKeys;

bool inKeyRange(int key) {
    return key >= 0 && key <= GLFW_KEY_LAST;
}

bool consume(std::unordered_map<int, bool>& events, int key) {
    const auto found = events.find(key);
    if (found == events.end() || !found->second) {
        return false;
    }
    found->second = false;
    return true;
}

}  // namespace

void init(GLFWwindow* window) {
    inputWindow = window;
    glfwSetKeyCallback(window, keyCallback);
}

void keyCallback(GLFWwindow* /*window*/, int key, int /*scancode*/, int action, int /*mods*/) {
    if (action == GLFW_PRESS) {
        pressedEvents[key] = true;
    } else if (action == GLFW_RELEASE) {
        releasedEvents[key] = true;
    }
}

bool isKeyDown(int key) {
    if (heldKeys.count(key) != 0 ||
        (inKeyRange(key) && deviceKeys.test(static_cast<size_t>(key)))) {
        return true;
    }
    if (inputWindow == nullptr) {
        return false;
    }
    return glfwGetKey(inputWindow, key) == GLFW_PRESS;
}

bool wasPressed(int key) {
    return consume(pressedEvents, key);
}

bool wasReleased(int key) {
    return consume(releasedEvents, key);
}

void setDeviceKeyDown(int key, bool down) {
    if (!inKeyRange(key) || deviceKeys.test(static_cast<size_t>(key)) == down) {
        return;
    }
    deviceKeys.set(static_cast<size_t>(key), down);
    keyCallback(inputWindow, key, 0, down ? GLFW_PRESS : GLFW_RELEASE, 0);
}

void releaseAllDeviceKeys() {
    for (int key = 0; key <= GLFW_KEY_LAST; ++key) {
        setDeviceKeyDown(key, false);
    }
}

void holdKey(int key) {
    heldKeys.insert(key);
}

void releaseHeldKey(int key) {
    heldKeys.erase(key);
}

void releaseAllHeldKeys() {
    heldKeys.clear();
}

void postEvent(int key, int action) {
    keyCallback(inputWindow, key, 0, action, 0);
}

}  // namespace Input
