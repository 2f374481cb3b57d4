#pragma once

#include <cstdint>

#include <glm/glm.hpp>

#include "app/Scene.h"

// Builds the level of one run: programs, textures, materials, lights, sky,
// meshes, world objects, cameras, HUD, world manager and render pipeline.
// Needs the window's OpenGL context to be current. A close request that
// arrives during the build stops it at its next step with an empty Scene.
Scene assembleScene(int32_t width, int32_t height, glm::vec3 startPosition, float fov, float near,
                    float far, float moveSpeed, float rotationSpeed, float yaw, float pitch);
