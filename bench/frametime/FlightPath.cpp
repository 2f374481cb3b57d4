#include "FlightPath.h"

#include "framework/Gl.h"
#include "framework/Input.h"

namespace {

struct Segment {
    float seconds;
    int keys[2];
};

// A sweep over the ring field towards the goal: bank left past the first
// cluster, climb a little, swing right across the field, bank left again
// and straighten out. Keeps well above the ground slab (y = -10) and clear
// of the goal for the default 20 seconds of flight.
const Segment kSegments[] = {
    {2.0f, {0, 0}},          {1.2f, {GLFW_KEY_A, 0}}, {1.5f, {0, 0}},
    {0.6f, {GLFW_KEY_W, 0}}, {0.6f, {GLFW_KEY_S, 0}}, {2.0f, {GLFW_KEY_D, 0}},
    {2.0f, {0, 0}},          {1.0f, {GLFW_KEY_A, 0}}, {0.6f, {GLFW_KEY_W, 0}},
    {2.0f, {0, 0}},          {1.5f, {GLFW_KEY_A, 0}},
};

}  // namespace

float FlightPath::scriptedSeconds() {
    float total = 0.0f;
    for (const Segment& segment : kSegments) {
        total += segment.seconds;
    }
    return total;
}

void FlightPath::steer(float t) {
    const Segment* current = nullptr;
    float start = 0.0f;
    for (const Segment& segment : kSegments) {
        if (t < start + segment.seconds) {
            current = &segment;
            break;
        }
        start += segment.seconds;
    }
    release();
    if (current == nullptr) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        heldKeys[i] = current->keys[i];
        if (heldKeys[i] != 0) {
            Input::holdKey(heldKeys[i]);
        }
    }
}

void FlightPath::release() {
    for (int& key : heldKeys) {
        if (key != 0) {
            Input::releaseHeldKey(key);
            key = 0;
        }
    }
}
