#include "world/SurfaceUnderLand.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr float kNoLand = -std::numeric_limits<float>::infinity();

bool usable(const MeshData& mesh) {
    return indicesInRange(mesh) &&
           std::all_of(mesh.positions.begin(), mesh.positions.end(), [](const glm::vec3& p) {
               return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
           });
}

std::vector<glm::vec3> placed(const MeshData& mesh, const glm::mat4& toWorld) {
    std::vector<glm::vec3> world;
    world.reserve(mesh.positions.size());
    for (const glm::vec3& p : mesh.positions) {
        world.emplace_back(toWorld * glm::vec4(p, 1.0f));
    }
    return world;
}

// The land's lowest height over each cell of a grid laid across the
// rectangle its vertices span. A cell holds the lowest vertex of every land
// triangle whose footprint touches it; the land over any point of the cell
// lies on one of those triangles, between its vertices, so it is never
// lower.
class LowestLand {
  public:
    LowestLand(const std::vector<glm::vec3>& land, const std::vector<uint32_t>& indices) {
        if (land.empty()) {
            return;
        }
        low = high = glm::vec2(land.front().x, land.front().z);
        for (const glm::vec3& p : land) {
            low = glm::min(low, glm::vec2(p.x, p.z));
            high = glm::max(high, glm::vec2(p.x, p.z));
        }
        const glm::vec2 extent = high - low;
        if (!(extent.x > 0.0f && extent.y > 0.0f)) {
            return;
        }
        // About one land triangle pair per cell, so the bound stays tight.
        const double triangles = static_cast<double>(indices.size() / 3);
        side = std::clamp(static_cast<int>(std::sqrt(triangles / 2.0)), 1, 1024);
        cell = extent / static_cast<float>(side);
        lowest.assign(static_cast<std::size_t>(side) * side,
                      std::numeric_limits<float>::infinity());
        for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
            const glm::vec3& a = land[indices[t]];
            const glm::vec3& b = land[indices[t + 1]];
            const glm::vec3& c = land[indices[t + 2]];
            const float bottom = std::min({a.y, b.y, c.y});
            const glm::ivec2 first = cellOf(glm::min(glm::min(a, b), c));
            const glm::ivec2 last = cellOf(glm::max(glm::max(a, b), c));
            for (int z = first.y; z <= last.y; ++z) {
                for (int x = first.x; x <= last.x; ++x) {
                    float& slot = lowest[static_cast<std::size_t>(z) * side + x];
                    slot = std::min(slot, bottom);
                }
            }
        }
        // A cell no triangle touched is a hole: nothing there hides anything.
        for (float& slot : lowest) {
            if (std::isinf(slot)) {
                slot = kNoLand;
            }
        }
    }

    // The lowest the land comes over the footprint from `a` to `b` (x and z),
    // or kNoLand where the footprint reaches beyond the land.
    float lowestOver(const glm::vec3& a, const glm::vec3& b) const {
        // Written so that a footprint without a value is beyond the land too.
        if (lowest.empty() || !(a.x >= low.x && a.z >= low.y && b.x <= high.x && b.z <= high.y)) {
            return kNoLand;
        }
        const glm::ivec2 first = cellOf(a);
        const glm::ivec2 last = cellOf(b);
        float result = std::numeric_limits<float>::infinity();
        for (int z = first.y; z <= last.y; ++z) {
            for (int x = first.x; x <= last.x; ++x) {
                result = std::min(result, lowest[static_cast<std::size_t>(z) * side + x]);
            }
        }
        return result;
    }

  private:
    glm::ivec2 cellOf(const glm::vec3& p) const {
        const glm::vec2 at = (glm::vec2(p.x, p.z) - low) / cell;
        return glm::clamp(glm::ivec2(glm::floor(at)), glm::ivec2(0), glm::ivec2(side - 1));
    }

    glm::vec2 low{0.0f};
    glm::vec2 high{0.0f};
    glm::vec2 cell{1.0f};
    int side = 0;
    std::vector<float> lowest;
};

}  // namespace

std::size_t dropTrianglesUnderLand(MeshData& surface, const glm::mat4& surfaceToWorld,
                                   float surfaceRise, const MeshData& land,
                                   const glm::mat4& landToWorld, float clearance) {
    // An index past its vertices or a position without a value would make
    // the bound a guess: keep everything.
    if (!usable(surface) || !usable(land)) {
        return 0;
    }
    const LowestLand lowestLand(placed(land, landToWorld), land.indices);
    const std::vector<glm::vec3> world = placed(surface, surfaceToWorld);

    std::vector<uint32_t> kept;
    kept.reserve(surface.indices.size());
    const std::size_t whole = surface.indices.size() - surface.indices.size() % 3;
    for (std::size_t t = 0; t < whole; t += 3) {
        const std::array<uint32_t, 3> corners = {surface.indices[t], surface.indices[t + 1],
                                                 surface.indices[t + 2]};
        const glm::vec3& a = world[corners[0]];
        const glm::vec3& b = world[corners[1]];
        const glm::vec3& c = world[corners[2]];
        const float top = std::max({a.y, b.y, c.y}) + surfaceRise;
        const float landBelow =
            lowestLand.lowestOver(glm::min(glm::min(a, b), c), glm::max(glm::max(a, b), c));
        if (!(landBelow > top + clearance)) {
            kept.insert(kept.end(), corners.begin(), corners.end());
        }
    }
    const std::size_t dropped = (whole - kept.size()) / 3;
    surface.indices = std::move(kept);
    return dropped;
}
