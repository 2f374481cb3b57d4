#include <gtest/gtest.h>

#include <memory>

#include <btBulletDynamicsCommon.h>

#include "render/Geometry.h"
#include "support/GlTestContext.h"
#include "world/Goal.h"
#include "world/Physics.h"
#include "world/PlayableCharacter.h"

namespace {

constexpr float kPi = 3.14159265f;

// A mesh whose bounding box is 2 by 1 by 2.
std::shared_ptr<Geometry> makeSlabGeometry() {
    MeshData mesh;
    mesh.positions = {{-1, 0, -1}, {1, 0, -1}, {1, 1, 1}, {-1, 1, 1}};
    mesh.normals.assign(4, glm::vec3(0, 1, 0));
    mesh.uvs.assign(4, glm::vec2(0));
    mesh.indices = {0, 1, 2, 0, 2, 3};
    return std::make_shared<Geometry>(glm::mat4(1.0f), mesh, nullptr, 0);
}

btVector3 boxHalfExtents(const GameObject& object) {
    const auto* box =
        static_cast<const btBoxShape*>(object.getCollisionObject()->getCollisionShape());
    return box->getHalfExtentsWithMargin();
}

void expectNear(const btVector3& actual, const btVector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
    EXPECT_NEAR(actual.z(), expected.z(), tolerance);
}

btVector3 toBullet(const glm::vec3& v) {
    return {v.x, v.y, v.z};
}

TEST(GameObjectTest, ObjectWithoutMeshHasNoCollisionObject) {
    GameObject object("Empty", glm::vec3(1, 2, 3), glm::vec3(0.5f), glm::vec3(1.0f), nullptr,
                      nullptr);
    EXPECT_EQ(object.getCollisionObject(), nullptr);
    object.update(0.1f);
    object.setCollisionScale(4.0f);
    EXPECT_EQ(object.getCollisionObject(), nullptr);
}

TEST(GameObjectTest, ModelMatrixTranslatesTurnsThenScales) {
    GameObject object("Turned", glm::vec3(10, 20, 30), glm::vec3(0, kPi / 2, 0), glm::vec3(2, 3, 4),
                      nullptr, nullptr);
    const glm::mat4 model = object.getModelMatrix();
    // +x turns into -z and is then scaled by 2.
    const glm::vec4 x = model * glm::vec4(1, 0, 0, 0);
    EXPECT_NEAR(x.x, 0.0f, 1e-5f);
    EXPECT_NEAR(x.z, -2.0f, 1e-5f);
    const glm::vec4 origin = model * glm::vec4(0, 0, 0, 1);
    EXPECT_EQ(glm::vec3(origin), glm::vec3(10, 20, 30));
    // The order: x first, then y, then z.
    GameObject general("General", glm::vec3(0.0f), glm::vec3(kPi / 2, kPi / 2, 0), glm::vec3(1.0f),
                       nullptr, nullptr);
    const glm::vec4 y = general.getModelMatrix() * glm::vec4(0, 1, 0, 0);
    // Rx turns +y into +z, then Ry turns +z into +x.
    EXPECT_NEAR(y.x, 1.0f, 1e-5f);
    EXPECT_NEAR(y.y, 0.0f, 1e-5f);
}

class GameObjectGlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        geometry = makeSlabGeometry();
    }
    std::shared_ptr<Geometry> geometry;
};

TEST_F(GameObjectGlTest, BoxSpansTwiceTheMeshWhateverTheScale) {
    GameObject object("Slab", glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(7, 8, 9), geometry,
                      nullptr);
    ASSERT_NE(object.getCollisionObject(), nullptr);
    expectNear(boxHalfExtents(object), btVector3(2, 1, 2));
    EXPECT_EQ(object.getCollisionObject()->getActivationState(), DISABLE_DEACTIVATION);

    object.setCollisionScale(4.0f);
    expectNear(boxHalfExtents(object), btVector3(8, 4, 8));
    btVector3 aabbMin, aabbMax;
    object.getCollisionObject()->getCollisionShape()->getAabb(btTransform::getIdentity(), aabbMin,
                                                              aabbMax);
    expectNear(aabbMax, btVector3(8, 4, 8), 1e-4f);
}

TEST_F(GameObjectGlTest, CollisionTurnsLikeTheDrawingOnlyAfterUpdate) {
    const glm::vec3 rotation(0.3f, -0.5f, 1.1f);
    Goal goal("Goal", glm::vec3(4, 5, 6), rotation, glm::vec3(1.0f), geometry, nullptr);
    const btTransform& before = goal.getCollisionObject()->getWorldTransform();
    expectNear(before.getOrigin(), btVector3(4, 5, 6));
    expectNear(before.getBasis() * btVector3(1, 0, 0), btVector3(1, 0, 0));

    goal.update(0.016f);
    const btTransform& after = goal.getCollisionObject()->getWorldTransform();
    const glm::mat4 model = goal.getModelMatrix();
    for (const glm::vec3& axis : {glm::vec3(1, 0, 0), glm::vec3(0, 1, 0), glm::vec3(0, 0, 1)}) {
        expectNear(after.getBasis() * toBullet(axis),
                   toBullet(glm::vec3(model * glm::vec4(axis, 0))));
    }

    GameObject quarter("Quarter", glm::vec3(0.0f), glm::vec3(0, kPi / 2, 0), glm::vec3(1.0f),
                       geometry, nullptr);
    quarter.update(0.0f);
    expectNear(quarter.getCollisionObject()->getWorldTransform().getBasis() * btVector3(1, 0, 0),
               btVector3(0, 0, -1));
}

TEST_F(GameObjectGlTest, ContactTestUsesTheTransformOfTheLastUpdate) {
    auto physics = std::make_shared<Physics>();
    auto player = std::make_shared<PlayableCharacter>(
        "Player", glm::vec3(0, 0, 0), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0), glm::vec3(1, 0, 0),
        glm::vec3(0.0f), glm::vec3(1.0f), geometry, nullptr);
    Goal goal("Goal", glm::vec3(0, 0, -20), glm::vec3(0.0f), glm::vec3(1.0f), geometry, nullptr);
    EXPECT_FALSE(player->checkCollision(goal.getCollisionObject(), physics));

    player->setSpeed(10.0f);
    player->update(1.7f);  // moved to z = -17: boxes 2 deep now overlap
    EXPECT_TRUE(player->checkCollision(goal.getCollisionObject(), physics));

    goal.setPosition(glm::vec3(0, 50, -20));
    EXPECT_TRUE(player->checkCollision(goal.getCollisionObject(), physics));  // not updated yet
    goal.update(0.0f);
    EXPECT_FALSE(player->checkCollision(goal.getCollisionObject(), physics));

    testing::internal::CaptureStdout();
    EXPECT_FALSE(player->checkCollision(nullptr, physics));
    EXPECT_FALSE(player->checkCollision(goal.getCollisionObject(), nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
