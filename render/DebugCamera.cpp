#include "render/DebugCamera.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#include "framework/Input.h"

namespace {

// GLFW key codes.
constexpr int kKeyW = 87;
constexpr int kKeyS = 83;
constexpr int kKeyD = 68;
constexpr int kKeyA = 65;
constexpr int kKeyM = 77;
constexpr int kKeyUp = 265;
constexpr int kKeyDown = 264;
constexpr int kKeyRight = 262;
constexpr int kKeyLeft = 263;

constexpr float kMaxPitch = 89.0f;
constexpr float kDegreesToRadians = 0.017453292f;

bool eitherDown(int key, int otherKey) {
    return Input::isKeyDown(key) || Input::isKeyDown(otherKey);
}

}  // namespace

DebugCamera::DebugCamera(const glm::vec3& position, float fov, float aspect, float near, float far,
                         float moveSpeed, float rotationSpeed)
    : Camera(position, fov, aspect, near, far, -90.0f, 0.0f),
      moveSpeed(moveSpeed),
      rotationSpeed(rotationSpeed) {}

void DebugCamera::rotate(float pitchDelta, float yawDelta) {
    pitch = std::clamp(pitch + pitchDelta, -kMaxPitch, kMaxPitch);
    yaw += yawDelta;
    const float pitchRadians = pitch * kDegreesToRadians;
    const float yawRadians = yaw * kDegreesToRadians;
    front = glm::normalize(glm::vec3(std::cos(pitchRadians) * std::cos(yawRadians),
                                     std::sin(pitchRadians),
                                     std::cos(pitchRadians) * std::sin(yawRadians)));
    updateCameraVectors();
}

void DebugCamera::update(float dt) {
    // Each key is tested on its own, so opposite keys cancel.
    if (eitherDown(kKeyW, kKeyUp)) {
        rotate(rotationSpeed * dt, 0.0f);
        std::cout << "Key W is pressed" << std::endl;
    }
    if (eitherDown(kKeyS, kKeyDown)) {
        rotate(-rotationSpeed * dt, 0.0f);
        std::cout << "Key S is pressed" << std::endl;
    }
    if (eitherDown(kKeyD, kKeyRight)) {
        rotate(0.0f, rotationSpeed * dt);
        std::cout << "Key D is pressed" << std::endl;
    }
    if (eitherDown(kKeyA, kKeyLeft)) {
        rotate(0.0f, -rotationSpeed * dt);
        std::cout << "Key A is pressed" << std::endl;
    }
    if (Input::isKeyDown(kKeyM)) {
        position += front * moveSpeed * dt;
        std::cout << "Key M is pressed" << std::endl;
    }
    Camera::update(dt);
}

glm::mat4 DebugCamera::getViewMatrix() const {
    return glm::lookAt(position, position + front, up);
}
