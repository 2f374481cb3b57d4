#pragma once

#include "world/GameObject.h"

// Touching it loses the run (the water surface in the shipped level). It needs
// a geometry: without one it has no collision box and cannot be touched.
class Obstacle : public GameObject {
  public:
    Obstacle(std::string name, const glm::vec3& position, const glm::vec3& rotation,
             const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
             std::shared_ptr<Material> material);
};
