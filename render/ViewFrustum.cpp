#include "render/ViewFrustum.h"

#include <algorithm>
#include <cmath>

float largestScale(const glm::mat4& model) {
    return std::max({glm::length(glm::vec3(model[0])), glm::length(glm::vec3(model[1])),
                     glm::length(glm::vec3(model[2]))});
}

ViewFrustum::ViewFrustum(const glm::mat4& viewProjection) {
    // A clip-space point is inside when -w <= x, y, z <= w; each inequality
    // is a plane in world space made of the matrix's fourth row plus or
    // minus one of the first three (glm stores columns, so row r of the
    // matrix is m[c][r] over the columns c).
    const auto row = [&viewProjection](int r) {
        return glm::vec4(viewProjection[0][r], viewProjection[1][r], viewProjection[2][r],
                         viewProjection[3][r]);
    };
    const glm::vec4 w = row(3);
    for (int axis = 0; axis < 3; ++axis) {
        planes[static_cast<size_t>(2 * axis)] = w + row(axis);
        planes[static_cast<size_t>(2 * axis + 1)] = w - row(axis);
    }
    for (glm::vec4& plane : planes) {
        const float length = glm::length(glm::vec3(plane));
        // A degenerate matrix gives no usable plane: it then culls nothing.
        plane = length > 0.0f && std::isfinite(length) ? plane / length : glm::vec4(0.0f);
    }
}

bool ViewFrustum::intersectsSphere(const glm::vec3& centre, float radius) const {
    for (const glm::vec4& plane : planes) {
        if (glm::dot(glm::vec3(plane), centre) + plane.w < -radius) {
            return false;
        }
    }
    return true;
}
