#pragma once

#include <memory>

#include "render/Camera.h"

class PlayableCharacter;

// Hangs behind and above the player's character and follows it rigidly.
// It never moves its own position field: getPosition keeps the start point.
class ThirdPersonCamera : public Camera {
  public:
    // The two speeds are accepted for symmetry with the debug camera and unused.
    ThirdPersonCamera(const glm::vec3& position, float fov, float aspect, float near, float far,
                      float moveSpeed, float rotationSpeed,
                      std::shared_ptr<PlayableCharacter> target);

    // Eye 1.5 units behind and 1 above the character, looking at a point half
    // a unit above it.
    void update(float dt) override;
    // The same view from one unit behind; the sky is oriented with it.
    glm::mat4 getViewMatrix() const override;

    const std::shared_ptr<PlayableCharacter>& getTarget() const { return target; }

  private:
    glm::mat4 viewFromDistance(float distance) const;

    std::shared_ptr<PlayableCharacter> target;
};
