#pragma once

#include <glm/glm.hpp>

// Plain light records; object drawing uploads them as "dirL.*" and "pointL.*".
struct DirectionalLight {
    bool enabled = false;
    glm::vec3 color{0.0f};
    glm::vec3 direction{0.0f, -1.0f, 0.0f};
};

struct PointLight {
    bool enabled = false;
    glm::vec3 color{0.0f};
    glm::vec3 position{0.0f};
    glm::vec3 attenuation{1.0f, 0.0f, 0.0f};
};
