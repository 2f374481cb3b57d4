#include "world/PlayableCharacter.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/quaternion.hpp>

#include "framework/Input.h"
#include "world/Physics.h"

namespace {

// GLFW key codes.
constexpr int kKeyW = 87;
constexpr int kKeyS = 83;
constexpr int kKeyD = 68;
constexpr int kKeyA = 65;
constexpr int kKeyUp = 265;
constexpr int kKeyDown = 264;
constexpr int kKeyRight = 262;
constexpr int kKeyLeft = 263;

// The nose may rise to about 64 degrees and sink to about 53.
constexpr float kMaxDirectionY = 0.9f;
constexpr float kMinDirectionY = -0.8f;

constexpr glm::vec3 kWorldUp(0.0f, 1.0f, 0.0f);

}  // namespace

PlayableCharacter::PlayableCharacter(std::string name, const glm::vec3& position,
                                     const glm::vec3& direction, const glm::vec3& up,
                                     const glm::vec3& right, const glm::vec3& rotation,
                                     const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                                     std::shared_ptr<Material> material)
    : GameObject(std::move(name), position, rotation, scale, std::move(geometry),
                 std::move(material)),
      direction(direction),
      up(up),
      right(right) {}

PlayableCharacter::~PlayableCharacter() = default;

void PlayableCharacter::update(float deltaTime) {
    position += speed * direction * deltaTime;

    // Opposite keys each apply their turn, so together they cancel.
    if (Input::isKeyDown(kKeyW) || Input::isKeyDown(kKeyUp)) {
        rotate(deltaTime, 0.0f);
    }
    if (Input::isKeyDown(kKeyS) || Input::isKeyDown(kKeyDown)) {
        rotate(-deltaTime, 0.0f);
    }
    if (Input::isKeyDown(kKeyD) || Input::isKeyDown(kKeyRight)) {
        rotate(0.0f, -deltaTime);
    }
    if (Input::isKeyDown(kKeyA) || Input::isKeyDown(kKeyLeft)) {
        rotate(0.0f, deltaTime);
    }

    GameObject::update(deltaTime);
}

void PlayableCharacter::rotate(float pitchDelta, float yawDelta) {
    // Yaw about the world's vertical axis always applies.
    direction = glm::normalize(glm::angleAxis(yawDelta, kWorldUp) * direction);

    // Pitch about the frame's right axis applies only inside the limits.
    const glm::vec3 pitched = glm::normalize(glm::angleAxis(pitchDelta, right) * direction);
    if (pitched.y < kMaxDirectionY && pitched.y > kMinDirectionY) {
        direction = pitched;
    }

    right = glm::normalize(glm::cross(direction, kWorldUp));
    up = glm::normalize(glm::cross(right, direction));

    // The mesh faces -z at zero rotation, so the frame's columns are right,
    // up and -direction.
    const glm::mat3 frame(right, up, -direction);
    rotation = eulerAnglesOf(glm::quat_cast(frame));
}

glm::quat PlayableCharacter::getOrientation() const {
    return glm::quat_cast(glm::mat3(right, up, -direction));
}

bool PlayableCharacter::checkCollision(const std::shared_ptr<btCollisionObject>& other,
                                       const std::shared_ptr<Physics>& physics) {
    if (!collisionObject || !other || !physics) {
        return false;
    }
    return physics->checkForCollision(collisionObject, other);
}
