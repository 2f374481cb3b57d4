#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include <btBulletDynamicsCommon.h>

#include "world/Physics.h"
#include "world/TerrainObject.h"

namespace {

// A free box collision object, placed and turned by hand.
struct Box {
    std::shared_ptr<btBoxShape> shape;
    std::shared_ptr<btCollisionObject> object;

    Box(const btVector3& halfExtents, const btVector3& origin,
        const btQuaternion& turn = btQuaternion::getIdentity())
        : shape(std::make_shared<btBoxShape>(halfExtents)),
          object(std::make_shared<btCollisionObject>()) {
        object->setCollisionShape(shape.get());
        moveTo(origin, turn);
    }

    void moveTo(const btVector3& origin, const btQuaternion& turn = btQuaternion::getIdentity()) {
        object->setWorldTransform(btTransform(turn, origin));
    }
};

// The raw pair test, without any shortcut in front of it.
bool rawContact(Physics& physics, const btCollisionObject& a, const btCollisionObject& b) {
    struct Callback : btCollisionWorld::ContactResultCallback {
        bool hit = false;
        btScalar addSingleResult(btManifoldPoint&, const btCollisionObjectWrapper*, int, int,
                                 const btCollisionObjectWrapper*, int, int) override {
            hit = true;
            return 0;
        }
    } callback;
    physics.getDynamicsWorld()->contactPairTest(const_cast<btCollisionObject*>(&a),
                                                const_cast<btCollisionObject*>(&b), callback);
    return callback.hit;
}

TEST(PhysicsTest, OverlappingBoxesTouchAndSeparatedOnesDoNot) {
    Physics physics;
    Box a(btVector3(1, 1, 1), btVector3(0, 0, 0));
    Box b(btVector3(1, 1, 1), btVector3(1.5f, 0.2f, 0));
    EXPECT_TRUE(physics.checkForCollision(a.object, b.object));
    EXPECT_TRUE(physics.checkForCollision(b.object, a.object));

    b.moveTo(btVector3(3.0f, 0, 0));  // faces 1 unit apart
    EXPECT_FALSE(physics.checkForCollision(a.object, b.object));

    // A thin ring box turned a quarter about y spans x instead of z.
    Box ring(btVector3(0.2f, 1.2f, 1.2f), btVector3(0, 0, 5));
    Box player(btVector3(0.5f, 0.5f, 0.5f), btVector3(1.5f, 0, 5));
    EXPECT_FALSE(physics.checkForCollision(player.object, ring.object));
    ring.moveTo(btVector3(0, 0, 5), btQuaternion(btVector3(0, 1, 0), SIMD_HALF_PI));
    EXPECT_TRUE(physics.checkForCollision(player.object, ring.object));
}

TEST(PhysicsTest, EmptyHandleIsReportedWithoutLineEnd) {
    Physics physics;
    Box a(btVector3(1, 1, 1), btVector3(0, 0, 0));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(physics.checkForCollision(a.object, nullptr));
    EXPECT_FALSE(physics.checkForCollision(nullptr, a.object));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Invalid collision object.Invalid collision object.");
}

TEST(PhysicsTest, WorldHasItsGravityAndStepsWithoutBodies) {
    Physics physics;
    const btVector3 gravity = physics.getDynamicsWorld()->getGravity();
    EXPECT_FLOAT_EQ(gravity.y(), -0.1f);
    EXPECT_FLOAT_EQ(gravity.x(), 0.0f);
    physics.step(0.016f);
    physics.step(0.5f);
    EXPECT_EQ(physics.getDynamicsWorld()->getNumCollisionObjects(), 0);
}

// The bounding-box shortcut in front of the pair test must never change an
// answer: compare it with the raw test over turned boxes at gaps from deep
// overlap to well apart, and against the terrain's compound near its faces.
TEST(PhysicsTest, BoundsShortcutAgreesWithTheRawPairTest) {
    Physics physics;
    std::mt19937 engine(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto randomTurn = [&] {
        const btVector3 axis(unit(engine) - 0.5f, unit(engine) - 0.5f, unit(engine) - 0.5f);
        return btQuaternion(axis.length() > 1e-3f ? axis.normalized() : btVector3(0, 1, 0),
                            unit(engine) * SIMD_2_PI);
    };
    int contacts = 0;
    int contactsWithBoundsApart = 0;
    int cases = 0;
    for (int trial = 0; trial < 120; ++trial) {
        const int axis = trial % 3;
        // Odd trials meet a face of a with an edge of b, where the bounding
        // boxes are exactly as far apart as the shapes.
        btVector3 sweepAxis(0, 0, 0);
        sweepAxis[axis] = 1;
        btVector3 acrossAxis(0, 0, 0);
        acrossAxis[(axis + 1) % 3] = 1;
        const bool faceToEdge = trial % 2 == 1;
        Box a(btVector3(0.1f + unit(engine), 0.1f + unit(engine), 0.1f + unit(engine)),
              btVector3(0, 0, 0),
              faceToEdge ? btQuaternion(sweepAxis, unit(engine) * SIMD_PI) : randomTurn());
        Box b(btVector3(0.1f + 2 * unit(engine), 0.05f + unit(engine), 0.1f + unit(engine)),
              btVector3(0, 0, 0),
              faceToEdge ? btQuaternion(acrossAxis, 0.2f + unit(engine)) : randomTurn());
        btVector3 minA, maxA, minB, maxB;
        a.shape->getAabb(a.object->getWorldTransform(), minA, maxA);
        b.shape->getAabb(b.object->getWorldTransform(), minB, maxB);
        // March b outwards along one axis, from bounding boxes overlapping by
        // 0.3 to 0.3 apart, through the distance where contact ends.
        for (float gap = -0.3f; gap <= 0.3f; gap += 0.004f) {
            btVector3 origin(0, 0, 0);
            origin[axis] = maxA[axis] - minB[axis] + gap;
            b.moveTo(origin, b.object->getWorldTransform().getRotation());
            const bool raw = rawContact(physics, *a.object, *b.object);
            ASSERT_EQ(physics.checkForCollision(a.object, b.object), raw)
                << "trial " << trial << " gap " << gap;
            contacts += raw ? 1 : 0;
            contactsWithBoundsApart += (raw && gap > 0.06f) ? 1 : 0;
            ++cases;
        }
    }
    // The sweep must exercise both answers, and contacts Bullet reports
    // between shapes already apart.
    EXPECT_GT(contacts, cases / 10);
    EXPECT_LT(contacts, cases - cases / 10);
    EXPECT_GT(contactsWithBoundsApart, 0);

    TerrainObject terrain("Terrain", glm::vec3(0, -25, -400), glm::vec3(0.0f), glm::vec3(1.0f),
                          nullptr, nullptr);
    terrain.update(0.0f);
    for (float y : {-9.5f, -9.99f, -10.0f, -10.01f, -10.05f, -9.0f, 30.0f}) {
        for (float x : {0.0f, 200.0f, 580.0f, 599.4f, 599.45f, 599.5f, 600.6f, 640.0f, 650.55f,
                        650.6f, 1999.0f}) {
            Box player(btVector3(0.5f, 0.5f, 0.5f), btVector3(x, y, -400), randomTurn());
            const bool raw = rawContact(physics, *player.object, *terrain.getCollisionObject());
            EXPECT_EQ(physics.checkForCollision(player.object, terrain.getCollisionObject()), raw)
                << "x " << x << " y " << y;
        }
    }
}

class TerrainContactTest : public ::testing::Test {
  protected:
    TerrainContactTest()
        : terrain(std::make_shared<TerrainObject>("Terrain", glm::vec3(0, -25, -400),
                                                  glm::vec3(0.0f), glm::vec3(1.5f), nullptr,
                                                  nullptr)) {
        terrain->update(0.0f);
    }

    // A 1 by 1 by 1 player box at a point given relative to the terrain's origin.
    bool touches(const btVector3& offset) {
        Box player(btVector3(0.5f, 0.5f, 0.5f), btVector3(0, -25, -400) + offset);
        return physics.checkForCollision(player.object, terrain->getCollisionObject());
    }

    Physics physics;
    std::shared_ptr<TerrainObject> terrain;
};

TEST_F(TerrainContactTest, GroundSlabIsSolidEverywhereWithinItsExtent) {
    // The slab's top face is 15 above the origin; the box reaches 0.5 below its centre.
    EXPECT_TRUE(touches(btVector3(0, 15.4f, 0)));
    EXPECT_TRUE(touches(btVector3(1900, 15.4f, -1900)));
    EXPECT_TRUE(touches(btVector3(300, 0, 100)));  // deep inside
    EXPECT_FALSE(touches(btVector3(0, 16.0f, 0)));
    EXPECT_FALSE(touches(btVector3(300, 100, 100)));
    EXPECT_FALSE(touches(btVector3(2100, 15.4f, 0)));
    EXPECT_FALSE(touches(btVector3(0, -30.0f, 2100)));
}

TEST_F(TerrainContactTest, RingWallBoundsThePlayArea) {
    // The wall is 32 flat segments: at a segment's middle its faces stand
    // nearer the axis than at its corners.
    const float halfSegment = 3.14159265f / 32.0f;
    const btVector3 up(0, 1, 0);
    for (int i = 0; i < 32; i += 5) {
        for (float along : {0.0f, 1.0f}) {
            const float angle = (2.0f * static_cast<float>(i) + along) * halfSegment;
            const float shrink = along == 0.0f ? 1.0f : std::cos(halfSegment);
            const btVector3 across(std::cos(angle), 0, std::sin(angle));
            EXPECT_TRUE(touches(across * (600.0f * shrink + 0.2f) + up * 450.0f))
                << "inner face, angle " << angle;
            EXPECT_TRUE(touches(across * (650.0f * shrink - 0.2f) + up * -400.0f))
                << "outer face, angle " << angle;
            EXPECT_TRUE(touches(across * 620.0f + up * 500.3f)) << "top cap, angle " << angle;
            EXPECT_TRUE(touches(across * 620.0f + up * -500.3f)) << "bottom cap, angle " << angle;
            EXPECT_FALSE(touches(across * 590.0f + up * 200.0f)) << "play area, angle " << angle;
            EXPECT_FALSE(touches(across * 670.0f + up * 200.0f)) << "outside, angle " << angle;
            EXPECT_FALSE(touches(across * 620.0f + up * 501.0f)) << "above, angle " << angle;
        }
    }
    EXPECT_EQ(terrain->getWallMesh().getNumTriangles(),
              TerrainObject::kWallSegments * TerrainObject::kTrianglesPerSegment);
}

TEST_F(TerrainContactTest, CompoundFollowsThePositionAtUpdateOnly) {
    terrain->setPosition(glm::vec3(0, 1000, -400));
    EXPECT_TRUE(touches(btVector3(0, 15.4f, 0)));  // not moved yet
    terrain->update(0.016f);
    EXPECT_FALSE(touches(btVector3(0, 15.4f, 0)));
    EXPECT_TRUE(touches(btVector3(0, 1015.4f, 0)));
}

TEST(TerrainObjectTest, StartsAtTheShippedOrigin) {
    TerrainObject terrain("Terrain", glm::vec3(5, 6, 7), glm::vec3(0.0f), glm::vec3(1.0f), nullptr,
                          nullptr);
    const btTransform& transform = terrain.getCollisionObject()->getWorldTransform();
    EXPECT_EQ(transform.getOrigin(), btVector3(0, -25, -400));
    EXPECT_EQ(terrain.getCollisionObject()->getActivationState(), DISABLE_DEACTIVATION);
    const auto* compound =
        static_cast<const btCompoundShape*>(terrain.getCollisionObject()->getCollisionShape());
    ASSERT_EQ(compound->getNumChildShapes(), 2);
    EXPECT_EQ(compound->getChildShape(0)->getShapeType(), BOX_SHAPE_PROXYTYPE);
    EXPECT_EQ(compound->getChildShape(1)->getShapeType(), TRIANGLE_MESH_SHAPE_PROXYTYPE);
    EXPECT_EQ(compound->getChildShape(1)->getMargin(), 0.0f);
}

}  // namespace
