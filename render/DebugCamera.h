#pragma once

#include "render/Camera.h"

// A free-flying camera: W/Up and S/Down pitch the view, D/Right and A/Left
// turn it, M moves it forward along the viewing direction.
class DebugCamera : public Camera {
  public:
    DebugCamera(const glm::vec3& position, float fov, float aspect, float near, float far,
                float moveSpeed, float rotationSpeed);

    // Polls the keys, prints one line per held key and refreshes the view.
    void update(float dt) override;
    glm::mat4 getViewMatrix() const override;

    // Degrees; pitch is held within [-89, 89].
    void rotate(float pitchDelta, float yawDelta);

  private:
    float moveSpeed;      // units per second
    float rotationSpeed;  // degrees per second
};
