#include "app/SceneAssembly.h"

Scene assembleScene(int32_t /*width*/, int32_t /*height*/, glm::vec3 /*startPosition*/,
                    float /*fov*/, float /*near*/, float /*far*/, float /*moveSpeed*/,
                    float /*rotationSpeed*/, float /*yaw*/, float /*pitch*/) {
    // The level's builders (programs, textures, materials, meshes, objects,
    // cameras, HUD, world manager, render pipeline) fill this record; until
    // they are linked in, a run plays an empty scene.
    return Scene{};
}
