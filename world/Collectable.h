#pragma once

#include "world/GameObject.h"

// A ring: it bobs 2.5 units up and down about the height it was placed at,
// each ring with its own phase; touching it scores a point.
class Collectable : public GameObject {
  public:
    Collectable(std::string name, const glm::vec3& position, const glm::vec3& rotation,
                const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                std::shared_ptr<Material> material);
    ~Collectable() override;

    void update(float deltaTime) override;

    float getBaseHeight() const { return baseHeight; }
    float getPhase() const { return phase; }

  private:
    float baseHeight;
    float elapsed = 0.0f;
    float phase;
};
