#pragma once

#include <memory>
#include <vector>

#include <glm/glm.hpp>

class Collectable;
class Geometry;
class Material;

// Scatters count rings named Ring_0.. over the box [boxMin, boxMax): the first
// round(count * clusteredFraction) in clusters around clusterCount centres
// (normal offsets of deviation spread, cut at three deviations, and a vertical
// offset within verticalSpread), the rest evenly over the box. Each ring gets
// a whole-degree yaw. All rings share the geometry and the material.
// clusterCount must be at least 1 when any ring is clustered; with fewer
// centres every ring is scattered instead.
std::vector<std::shared_ptr<Collectable>> generateRings(int count, const glm::vec3& boxMin,
                                                        const glm::vec3& boxMax, int clusterCount,
                                                        float clusteredFraction, float spread,
                                                        float verticalSpread,
                                                        const std::shared_ptr<Geometry>& geometry,
                                                        const std::shared_ptr<Material>& material);
