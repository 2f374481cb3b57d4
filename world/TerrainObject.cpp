#include "world/TerrainObject.h"

#include <cmath>

#include <btBulletDynamicsCommon.h>

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kWallInnerRadius = 600.0f;
constexpr float kWallOuterRadius = 650.0f;
constexpr float kWallHalfHeight = 500.0f;
const btVector3 kGroundHalfExtents(2000.0f, 15.0f, 2000.0f);
// Where the shipped level puts the terrain; update moves it to position.
const btVector3 kInitialOrigin(0.0f, -25.0f, -400.0f);

btVector3 wallPoint(float angle, float radius, float y) {
    return {std::cos(angle) * radius, y, std::sin(angle) * radius};
}

}  // namespace

TerrainObject::TerrainObject(std::string name, const glm::vec3& position, const glm::vec3& rotation,
                             const glm::vec3& scale, std::shared_ptr<Geometry> geometry,
                             std::shared_ptr<Material> material)
    : GameObject(std::move(name), position, rotation, scale, std::move(geometry),
                 std::move(material)) {
    wallMesh = std::make_shared<btTriangleMesh>(true, true);
    buildBoundaryWall();

    groundBox = std::make_shared<btBoxShape>(kGroundHalfExtents);
    wallShape = std::make_shared<btBvhTriangleMeshShape>(wallMesh.get(), true, true);
    wallShape->setMargin(0.0f);

    compoundShape = std::make_shared<btCompoundShape>(true, 0);
    btTransform identity;
    identity.setIdentity();
    compoundShape->addChildShape(identity, groundBox.get());
    compoundShape->addChildShape(identity, wallShape.get());

    // Replaces the box the base made from the mesh extent.
    collisionObject = std::make_shared<btCollisionObject>();
    collisionObject->setCollisionShape(compoundShape.get());
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(kInitialOrigin);
    collisionObject->setWorldTransform(transform);
    collisionObject->forceActivationState(DISABLE_DEACTIVATION);
}

TerrainObject::~TerrainObject() {
    // Users before what they use: object, compound, then its children.
    collisionObject.reset();
    compoundShape.reset();
    wallShape.reset();
    wallMesh.reset();
    groundBox.reset();
}

void TerrainObject::buildBoundaryWall() {
    const float step = 1.0f / static_cast<float>(kWallSegments) * kTwoPi;
    for (int i = 0; i < kWallSegments; ++i) {
        const float a1 = static_cast<float>(i) * step;
        const float a2 = static_cast<float>(i + 1) * step;
        const btVector3 ot1 = wallPoint(a1, kWallOuterRadius, kWallHalfHeight);
        const btVector3 ot2 = wallPoint(a2, kWallOuterRadius, kWallHalfHeight);
        const btVector3 ob1 = wallPoint(a1, kWallOuterRadius, -kWallHalfHeight);
        const btVector3 ob2 = wallPoint(a2, kWallOuterRadius, -kWallHalfHeight);
        const btVector3 it1 = wallPoint(a1, kWallInnerRadius, kWallHalfHeight);
        const btVector3 it2 = wallPoint(a2, kWallInnerRadius, kWallHalfHeight);
        const btVector3 ib1 = wallPoint(a1, kWallInnerRadius, -kWallHalfHeight);
        const btVector3 ib2 = wallPoint(a2, kWallInnerRadius, -kWallHalfHeight);
        // Outer face, inner face, top cap, bottom cap; duplicates are kept.
        wallMesh->addTriangle(ot1, ot2, ob1);
        wallMesh->addTriangle(ot2, ob2, ob1);
        wallMesh->addTriangle(it2, it1, ib1);
        wallMesh->addTriangle(ib2, it2, ib1);
        wallMesh->addTriangle(it1, it2, ot2);
        wallMesh->addTriangle(it1, ot2, ot1);
        wallMesh->addTriangle(ob2, ib2, ib1);
        wallMesh->addTriangle(ob1, ob2, ib1);
    }
}
