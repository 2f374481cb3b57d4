#pragma once

#include <memory>

#include "world/GameObject.h"

class btBvhTriangleMeshShape;
class btCompoundShape;
class btTriangleMesh;

// The landscape's solidity. The visible hills are not solid: touching the
// terrain means touching a flat ground slab (half-extents 2000, 15, 2000)
// or the ring-shaped wall 600 to 650 units from the vertical axis, 500 units
// above and below the origin, that bounds the play area.
class TerrainObject : public GameObject {
  public:
    TerrainObject(std::string name, const glm::vec3& position, const glm::vec3& rotation,
                  const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                  std::shared_ptr<Material> material);
    ~TerrainObject() override;

    // Wall segments around the axis, and the triangles each adds.
    static constexpr int kWallSegments = 32;
    static constexpr int kTrianglesPerSegment = 8;

    const btTriangleMesh& getWallMesh() const { return *wallMesh; }

  private:
    void buildBoundaryWall();

    std::shared_ptr<btCompoundShape> compoundShape;
    std::shared_ptr<btBoxShape> groundBox;
    std::shared_ptr<btTriangleMesh> wallMesh;
    std::shared_ptr<btBvhTriangleMeshShape> wallShape;
};
