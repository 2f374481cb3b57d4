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

// The share of one shape in the distance up to which Bullet's pair test can
// still report contact points: its largest collision margin plus twice its
// contact breaking threshold (the global one, or with relative thresholds
// its own; the pair uses the smaller of the two shapes', so one shape's
// bounds the pair's).
btScalar toleranceOf(const btCollisionShape& shape) {
    const btScalar threshold = std::max(
        shape.getContactBreakingThreshold(gContactBreakingThreshold), gContactBreakingThreshold);
    return largestMargin(shape) + 2 * threshold;
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

// Shapes whose world bounding boxes are further apart than both margins and
// the first shape's threshold allowance (a little more for rounding) cannot
// touch, so the narrow phase is skipped for them: that is most of the rings
// every frame. A larger tolerance than needed only sends more pairs on to
// the exact test; it never changes an answer.
bool Physics::boundsTooFarApart(const btCollisionObject& a, const btCollisionObject& b) {
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
    const btScalar tolerance =
        firstShapeTolerance(*shapeA) + largestMargin(*shapeB) + btScalar(0.01);
    for (int axis = 0; axis < 3; ++axis) {
        if (minA[axis] > maxB[axis] + tolerance || minB[axis] > maxA[axis] + tolerance) {
            return true;
        }
    }
    return false;
}

float Physics::firstShapeTolerance(const btCollisionShape& shape) {
    // Only a box's tolerance is kept: it follows from its scaling, its
    // dimensions and its margin alone, and all three are compared.
    if (shape.getShapeType() != BOX_SHAPE_PROXYTYPE) {
        return toleranceOf(shape);
    }
    const auto& box = static_cast<const btBoxShape&>(shape);
    const btVector3& scaling = box.getLocalScaling();
    const btVector3& dimensions = box.getImplicitShapeDimensions();
    const btScalar margin = box.getMargin();
    bool same = firstShape.shape == &shape && firstShape.margin == margin;
    for (int i = 0; i < 3 && same; ++i) {
        same = firstShape.scaling[i] == scaling[i] && firstShape.dimensions[i] == dimensions[i];
    }
    if (!same) {
        firstShape.shape = &shape;
        firstShape.margin = margin;
        for (int i = 0; i < 3; ++i) {
            firstShape.scaling[i] = scaling[i];
            firstShape.dimensions[i] = dimensions[i];
        }
        firstShape.tolerance = toleranceOf(shape);
    }
    return firstShape.tolerance;
}

bool Physics::checkForCollision(const std::shared_ptr<btCollisionObject>& a,
                                const std::shared_ptr<btCollisionObject>& b) {
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
