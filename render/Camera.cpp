#include "render/Camera.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float kMaxPitch = 89.0f;

}  // namespace

Camera::Camera(const glm::vec3& position, float fov, float aspect, float near, float far, float yaw,
               float pitch)
    : position(position), yaw(yaw), pitch(pitch), fov(fov), aspect(aspect), near(near), far(far) {
    updateCameraVectors();
    projection = Camera::getProjectionMatrix();
    viewProjection = projection * view;
}

void Camera::update(float /*dt*/) {
    setView(glm::lookAt(position, position + front, up));
}

void Camera::setView(const glm::mat4& newView) {
    view = newView;
    viewProjection = projection * view;
    eye = glm::vec3(glm::inverse(view)[3]);
}

glm::mat4 Camera::getProjectionMatrix() const {
    return glm::perspective(glm::radians(fov), aspect, near, far);
}

void Camera::setAspectRatio(float newAspect) {
    // A minimised window reports a zero height; keep the last usable picture
    // shape rather than fill the projection with infinities.
    if (!std::isfinite(newAspect) || newAspect == 0.0f) {
        return;
    }
    aspect = newAspect;
    projection = getProjectionMatrix();
    viewProjection = projection * view;
}

void Camera::setYaw(float newYaw) {
    yaw = newYaw;
    updateCameraVectors();
}

void Camera::setPitch(float newPitch) {
    pitch = std::clamp(newPitch, -kMaxPitch, kMaxPitch);
    updateCameraVectors();
}

void Camera::updateCameraVectors() {
    right = glm::normalize(glm::cross(front, worldUp));
    up = glm::normalize(glm::cross(right, front));
}
