#pragma once

#include <array>

#include <glm/glm.hpp>

// The most a model matrix stretches a length: its longest axis. A bounding
// sphere of radius r placed by the matrix fits in radius r times this.
float largestScale(const glm::mat4& model);

// The six planes of a view-projection matrix's clip volume, in world space,
// for skipping objects the camera cannot see. Conservative: a sphere is
// reported outside only when it lies wholly beyond one plane.
class ViewFrustum {
  public:
    explicit ViewFrustum(const glm::mat4& viewProjection);

    bool intersectsSphere(const glm::vec3& centre, float radius) const;

  private:
    // Each plane as (normal, distance), normal of unit length and pointing
    // into the volume.
    std::array<glm::vec4, 6> planes;
};
