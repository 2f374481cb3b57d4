#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "app/Scene.h"
#include "world/ImageFile.h"

// Builds the level of one run: programs, textures, materials, lights, sky,
// meshes, world objects, cameras, HUD, world manager and render pipeline.
// Needs the window's OpenGL context to be current. A close request that
// arrives during the build stops it at its next step with an empty Scene.
Scene assembleScene(int32_t width, int32_t height, glm::vec3 startPosition, float fov, float near,
                    float far, float moveSpeed, float rotationSpeed, float yaw, float pitch);

// The pictures a level decodes (the sky's faces, the HUD's font and
// tutorial), as assembleScene asks for them: decoded ahead at launch, they
// are ready when the first level is built.
std::vector<ImageRequest> levelPictures();

// A restart decodes its pictures beside its build, a few ahead at a time:
// the sky's six faces held at once beside the level being built left the
// heap 10 to 15 MB larger.
inline constexpr size_t kPicturesAheadOnRestart = 2;
