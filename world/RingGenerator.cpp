#include "world/RingGenerator.h"

#include <algorithm>
#include <string>

#include "world/Collectable.h"
#include "world/GameRandom.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
// Offsets beyond three deviations are drawn again.
constexpr float kMaxOffsetSquared = 9.0f;

// z, then y, then x: the order of the draws is part of the layout.
glm::vec3 uniformPointInBox(const glm::vec3& boxMin, const glm::vec3& boxMax) {
    const float z = GameRandom::engineUniform(boxMin.z, boxMax.z);
    const float y = GameRandom::engineUniform(boxMin.y, boxMax.y);
    const float x = GameRandom::engineUniform(boxMin.x, boxMax.x);
    return {x, y, z};
}

glm::vec3 wholeDegreeYaw() {
    return {0.0f, static_cast<float>(GameRandom::nextRand() % 360) * kDegreesToRadians, 0.0f};
}

}  // namespace

std::vector<std::shared_ptr<Collectable>> generateRings(int count, const glm::vec3& boxMin,
                                                        const glm::vec3& boxMax, int clusterCount,
                                                        float clusteredFraction, float spread,
                                                        float verticalSpread,
                                                        const std::shared_ptr<Geometry>& geometry,
                                                        const std::shared_ptr<Material>& material) {
    std::vector<std::shared_ptr<Collectable>> rings;
    if (count <= 0) {
        return rings;
    }
    rings.reserve(static_cast<std::size_t>(count));

    std::vector<glm::vec3> centres;
    for (int k = 0; k < clusterCount; ++k) {
        centres.push_back(uniformPointInBox(boxMin, boxMax));
    }

    int clustered = static_cast<int>(static_cast<float>(count) * clusteredFraction + 0.5f);
    clustered = std::clamp(clustered, 0, count);
    if (centres.empty()) {
        clustered = 0;
    }

    const glm::vec3 unitScale(1.0f);
    for (int i = 0; i < clustered; ++i) {
        const glm::vec3& centre = centres[static_cast<std::size_t>(i % clusterCount)];
        float gx;
        float gz;
        do {
            gx = GameRandom::engineNormal();
            gz = GameRandom::engineNormal();
        } while (gx * gx + gz * gz > kMaxOffsetSquared);
        const glm::vec3 position(
            centre.x + spread * gx,
            centre.y + GameRandom::engineUniform(-verticalSpread, verticalSpread),
            centre.z + spread * gz);
        rings.push_back(std::make_shared<Collectable>("Ring_" + std::to_string(i), position,
                                                      wholeDegreeYaw(), unitScale, geometry,
                                                      material));
    }
    for (int i = clustered; i < count; ++i) {
        const glm::vec3 position = uniformPointInBox(boxMin, boxMax);
        rings.push_back(std::make_shared<Collectable>("Ring_" + std::to_string(i), position,
                                                      wholeDegreeYaw(), unitScale, geometry,
                                                      material));
    }
    return rings;
}
