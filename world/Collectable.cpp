#include "world/Collectable.h"

#include <cmath>

#include "world/GameRandom.h"

namespace {

constexpr float kBobAmplitude = 2.5f;
constexpr float kBobAngularSpeed = 0.5f;  // radians per second: a period of 4 pi seconds
constexpr float kTwoPi = 6.2831855f;

}  // namespace

Collectable::Collectable(std::string name, const glm::vec3& position, const glm::vec3& rotation,
                         const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                         std::shared_ptr<Material> material)
    : GameObject(std::move(name), position, rotation, scale, std::move(geometry),
                 std::move(material)),
      baseHeight(position.y),
      phase(static_cast<float>(GameRandom::nextRand() % 1000) / 1000.0f * kTwoPi) {}

Collectable::~Collectable() = default;

void Collectable::update(float deltaTime) {
    elapsed += deltaTime;
    position.y = baseHeight + kBobAmplitude * std::sin(elapsed * kBobAngularSpeed + phase);
    GameObject::update(deltaTime);
}
