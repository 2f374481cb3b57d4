#pragma once

#include "world/GameObject.h"

// Touching it wins the run.
class Goal : public GameObject {
  public:
    Goal(std::string name, const glm::vec3& position, const glm::vec3& rotation,
         const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
         std::shared_ptr<Material> material);
};
