#include "app/RingLook.h"

#include "render/Geometry.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"

namespace {

// Bounding-sphere radius over distance below which a ring draws a coarser
// outline. With the 60 degree view of a 720 pixel high window, 0.016 is a
// radius of about 10 pixels and 0.048 of about 30: sizes at which the full
// mesh's triangles are smaller than a pixel.
constexpr float kSmallOnScreen = 0.016f;
constexpr float kMidOnScreen = 0.048f;

// The glow is whole up to 30 units (a ring 25 pixels across) and dims to a
// gold just over the bright pass's cut by the distance the size is held at.
constexpr float kGlowFadeStart = 30.0f;
constexpr float kFarGlowStrength = 1.0f;

}  // namespace

std::shared_ptr<EmissiveMaterial> makeRingMaterial(std::shared_ptr<Shader> emissiveShader) {
    auto material =
        std::make_shared<EmissiveMaterial>(std::move(emissiveShader), glm::vec3(0.5f, 0.6f, 0.05f));
    material->setGlowFade(kGlowFadeStart, kRingSizeHeldBeyond, kFarGlowStrength);
    return material;
}

std::shared_ptr<Geometry> makeRingMesh(std::shared_ptr<EmissiveMaterial> material, uint32_t tag) {
    // The transform is kept with the mesh; drawing places the ring by its
    // object alone, at the torus's built size (1.2 units across).
    auto mesh =
        std::make_shared<Geometry>(glm::mat4(1.5f), makeTorus(1.0f), std::move(material), tag);
    mesh->addDetailLevel(makeTorusIndices(2), kMidOnScreen);
    mesh->addDetailLevel(makeTorusIndices(4), kSmallOnScreen);
    return mesh;
}
