#include "world/Physics.h"

#include <algorithm>
#include <iostream>

#include <btBulletDynamicsCommon.h>

namespace {

// Reports whether the pair test found at least one contact point.
struct ContactTestCallback : btCollisionWorld::ContactResultCallback {
    bool collided = false;

    btScalar addSingleResult(btManifoldPoint& /*cp*/, const btCollisionObjectWrapper* /*obj0*/,
                             int /*partId0*/, int /*index0*/,
                             const btCollisionObjectWrapper* /*obj1*/, int /*partId1*/,
                             int /*index1*/) override {
        collided = true;
        return 0;
    }
};

// The largest collision margin in a shape, looking into compounds.
btScalar largestMargin(const btCollisionShape& shape) {
    btScalar margin = shape.getMargin();
    if (shape.isCompound()) {
        const auto& compound = static_cast<const btCompoundShape&>(shape);
        for (int i = 0; i < compound.getNumChildShapes(); ++i) {
            margin = std::max(margin, largestMargin(*compound.getChildShape(i)));
        }
    }
    return margin;
}

// Bullet's pair test reports contact points for shapes up to the two
// collision margins plus the pair's contact breaking threshold apart (the
// global threshold, or with relative thresholds the smaller of the two
// shapes' own). Shapes whose world bounding boxes are further apart than
// that, with the threshold doubled and a little more for rounding, cannot
// touch, so the narrow phase is skipped for them: that is most of the rings
// every frame.
bool boundsTooFarApart(const btCollisionObject& a, const btCollisionObject& b) {
    const btCollisionShape* shapeA = a.getCollisionShape();
    const btCollisionShape* shapeB = b.getCollisionShape();
    if (shapeA == nullptr || shapeB == nullptr) {
        return false;
    }
    btVector3 minA;
    btVector3 maxA;
    btVector3 minB;
    btVector3 maxB;
    shapeA->getAabb(a.getWorldTransform(), minA, maxA);
    shapeB->getAabb(b.getWorldTransform(), minB, maxB);

    const btScalar relative =
        std::min(shapeA->getContactBreakingThreshold(gContactBreakingThreshold),
                 shapeB->getContactBreakingThreshold(gContactBreakingThreshold));
    const btScalar tolerance = largestMargin(*shapeA) + largestMargin(*shapeB) +
                               2 * std::max(relative, gContactBreakingThreshold) + btScalar(0.01);
    for (int axis = 0; axis < 3; ++axis) {
        if (minA[axis] > maxB[axis] + tolerance || minB[axis] > maxA[axis] + tolerance) {
            return true;
        }
    }
    return false;
}

}  // namespace

Physics::Physics()
    : collisionConfiguration(std::make_shared<btDefaultCollisionConfiguration>()),
      dispatcher(std::make_shared<btCollisionDispatcher>(collisionConfiguration.get())),
      broadphase(std::make_shared<btDbvtBroadphase>()),
      solver(std::make_shared<btSequentialImpulseConstraintSolver>()),
      dynamicsWorld(std::make_shared<btDiscreteDynamicsWorld>(
          dispatcher.get(), broadphase.get(), solver.get(), collisionConfiguration.get())) {
    // Nothing falls: the world holds no rigid bodies.
    dynamicsWorld->setGravity(btVector3(0.0f, -0.1f, 0.0f));
}

Physics::~Physics() {
    // The world refers to everything else, so it goes first.
    dynamicsWorld.reset();
    solver.reset();
    broadphase.reset();
    dispatcher.reset();
    collisionConfiguration.reset();
}

bool Physics::checkForCollision(std::shared_ptr<btCollisionObject> a,
                                std::shared_ptr<btCollisionObject> b) {
    if (!a || !b) {
        std::cout << "Invalid collision object." << std::flush;
        return false;
    }
    if (boundsTooFarApart(*a, *b)) {
        return false;
    }
    ContactTestCallback callback;
    dynamicsWorld->contactPairTest(a.get(), b.get(), callback);
    return callback.collided;
}

void Physics::step(float deltaTime) {
    if (dynamicsWorld) {
        dynamicsWorld->stepSimulation(deltaTime, 1, 1.0f / 60.0f);
    }
}
