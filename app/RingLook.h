#pragma once

#include <cstdint>
#include <memory>

class EmissiveMaterial;
class Geometry;
class Shader;

// How the rings look: the level and the tests build them from here.

// A ring is 1.2 units across: 10 pixels at this distance in the game's view
// (60 degrees, 720 pixels high). Farther rings are drawn larger so they keep
// those 10 pixels and their hole, instead of shrinking to a dot that the glow
// turns into a blob (the rings lie 200 to 500 units from the start).
inline constexpr float kRingSizeHeldBeyond = 75.0f;

// The rings' glowing gold. Its glow dims with distance until a ring held at
// its smallest size glows no wider than its rim, leaving the hole dark.
std::shared_ptr<EmissiveMaterial> makeRingMaterial(std::shared_ptr<Shader> emissiveShader);

// The ring torus with its coarser outlines for rings small on screen.
std::shared_ptr<Geometry> makeRingMesh(std::shared_ptr<EmissiveMaterial> material, uint32_t tag);
