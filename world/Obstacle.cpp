#include "world/Obstacle.h"

Obstacle::Obstacle(std::string name, const glm::vec3& position, const glm::vec3& rotation,
                   const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                   std::shared_ptr<Material> material)
    : GameObject(std::move(name), position, rotation, scale, std::move(geometry),
                 std::move(material)) {}
