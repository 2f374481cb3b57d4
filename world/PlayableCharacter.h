#pragma once

#include <memory>

#include "world/GameObject.h"

class Physics;

// The winged figure the player steers: constant-speed flight along
// direction; W/Up and S/Down pitch about its right axis, A/Left and D/Right
// yaw about the world's vertical axis, one radian per second.
class PlayableCharacter : public GameObject {
  public:
    PlayableCharacter(std::string name, const glm::vec3& position, const glm::vec3& direction,
                      const glm::vec3& up, const glm::vec3& right, const glm::vec3& rotation,
                      const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                      std::shared_ptr<Material> material);
    ~PlayableCharacter() override;

    void update(float deltaTime) override;
    void rotate(float pitchDelta, float yawDelta);
    bool checkCollision(const std::shared_ptr<btCollisionObject>& other,
                        const std::shared_ptr<Physics>& physics);

    void setSpeed(float newSpeed) { speed = newSpeed; }
    float getSpeed() const { return speed; }
    glm::vec3 getDirection() const { return direction; }
    glm::vec3 getUp() const { return up; }
    glm::vec3 getRight() const { return right; }
    // The frame (right, up, -direction) the mesh is turned by.
    glm::quat getOrientation() const;

  private:
    float speed = 0.0f;
    glm::vec3 direction;
    glm::vec3 up;
    glm::vec3 right;
};
