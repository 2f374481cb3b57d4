#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include <glm/gtc/quaternion.hpp>

#include "framework/Input.h"
#include "world/Physics.h"
#include "world/PlayableCharacter.h"

namespace {

constexpr int kKeyW = 87;
constexpr int kKeyS = 83;
constexpr int kKeyD = 68;
constexpr int kKeyA = 65;
constexpr int kKeyUp = 265;
constexpr int kKeyLeft = 263;
constexpr float kPi = 3.14159265f;

// A character without a mesh: flight and steering need no GPU.
std::shared_ptr<PlayableCharacter> makeCharacter(const glm::vec3& position = glm::vec3(0.0f)) {
    return std::make_shared<PlayableCharacter>("Player", position, glm::vec3(0, 0, -1),
                                               glm::vec3(0, 1, 0), glm::vec3(1, 0, 0),
                                               glm::vec3(0.0f), glm::vec3(1.0f), nullptr, nullptr);
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Advances in many small steps, as the frame loop would.
void fly(PlayableCharacter& character, float seconds, int steps) {
    for (int i = 0; i < steps; ++i) {
        character.update(seconds / static_cast<float>(steps));
    }
}

class PlayableCharacterTest : public ::testing::Test {
  protected:
    void SetUp() override { Input::releaseAllHeldKeys(); }
    void TearDown() override { Input::releaseAllHeldKeys(); }
};

TEST_F(PlayableCharacterTest, FliesAlongDirectionAtItsSpeed) {
    auto character = makeCharacter(glm::vec3(3.0f, 4.0f, 5.0f));
    character->update(0.5f);
    expectNear(character->getPosition(), glm::vec3(3, 4, 5));  // speed 0 at construction

    character->setSpeed(10.0f);
    character->update(0.5f);
    expectNear(character->getPosition(), glm::vec3(3, 4, 0));
    expectNear(character->getDirection(), glm::vec3(0, 0, -1));
}

TEST_F(PlayableCharacterTest, HoldingLeftForAQuarterTurnFacesMinusX) {
    auto character = makeCharacter();
    Input::holdKey(kKeyA);
    fly(*character, kPi / 2.0f, 1000);
    expectNear(character->getDirection(), glm::vec3(-1, 0, 0), 1e-3f);
    expectNear(character->getRight(), glm::vec3(0, 0, -1), 1e-3f);
    // The mesh faces -z at zero rotation, so the drawn mesh now faces -x.
    const glm::mat3 drawn = glm::mat3_cast(glm::quat(character->getRotation()));
    expectNear(drawn * glm::vec3(0, 0, -1), glm::vec3(-1, 0, 0), 1e-3f);
    EXPECT_NEAR(std::abs(character->getRotation().y), kPi / 2.0f, 2e-2f);

    Input::releaseAllHeldKeys();
    Input::holdKey(kKeyLeft);
    fly(*character, kPi / 2.0f, 1000);
    expectNear(character->getDirection(), glm::vec3(0, 0, 1), 1e-3f);
}

TEST_F(PlayableCharacterTest, TurningWorksAtZeroSpeedWithoutMoving) {
    auto character = makeCharacter(glm::vec3(1, 2, 3));
    Input::holdKey(kKeyD);
    fly(*character, 0.3f, 3);
    expectNear(character->getPosition(), glm::vec3(1, 2, 3));
    // D turns right: -z towards +x.
    EXPECT_NEAR(character->getDirection().x, std::sin(0.3f), 1e-4f);
    EXPECT_NEAR(character->getDirection().y, 0.0f, 1e-6f);
}

TEST_F(PlayableCharacterTest, PitchStopsAtUpperAndLowerLimits) {
    auto character = makeCharacter();
    Input::holdKey(kKeyW);
    fly(*character, 3.0f, 300);
    const glm::vec3 top = character->getDirection();
    EXPECT_LT(top.y, 0.9f);
    EXPECT_GT(top.y, 0.88f);  // one step of 0.01 rad short of the limit at most

    // A further climb that would cross 0.9 leaves the direction as it is.
    character->update(0.02f);
    expectNear(character->getDirection(), top, 1e-5f);

    Input::releaseAllHeldKeys();
    Input::holdKey(kKeyS);
    character->update(0.02f);
    EXPECT_LT(character->getDirection().y, top.y);
    fly(*character, 5.0f, 500);
    EXPECT_GT(character->getDirection().y, -0.8f);
    EXPECT_LT(character->getDirection().y, -0.79f);
}

TEST_F(PlayableCharacterTest, OppositeKeysCancel) {
    auto character = makeCharacter();
    character->rotate(0.2f, 0.7f);  // start from a tilted, turned frame
    const glm::vec3 start = character->getDirection();

    Input::holdKey(kKeyW);
    Input::holdKey(kKeyS);
    fly(*character, 1.0f, 50);
    expectNear(character->getDirection(), start, 1e-4f);

    Input::releaseAllHeldKeys();
    Input::holdKey(kKeyA);
    Input::holdKey(kKeyD);
    fly(*character, 1.0f, 50);
    expectNear(character->getDirection(), start, 1e-4f);

    Input::releaseAllHeldKeys();
    Input::holdKey(kKeyUp);
    character->update(0.1f);
    EXPECT_GT(character->getDirection().y, start.y);
}

TEST_F(PlayableCharacterTest, FrameStaysOrthonormalAndMatchesRotation) {
    auto character = makeCharacter();
    character->rotate(0.4f, 1.1f);
    character->rotate(-0.1f, -2.5f);
    const glm::vec3 d = character->getDirection();
    const glm::vec3 u = character->getUp();
    const glm::vec3 r = character->getRight();
    EXPECT_NEAR(glm::length(d), 1.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(d, u), 0.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(d, r), 0.0f, 1e-5f);
    EXPECT_NEAR(r.y, 0.0f, 1e-6f);  // no roll

    // The Euler angles, drawn the game's way, turn the mesh's -z onto the
    // flight direction and its +y onto the frame's up.
    const glm::mat3 drawn = glm::mat3_cast(glm::quat(character->getRotation()));
    expectNear(drawn * glm::vec3(0, 0, -1), d, 1e-4f);
    expectNear(drawn * glm::vec3(0, 1, 0), u, 1e-4f);
}

TEST_F(PlayableCharacterTest, CollisionTestWithMissingPartsIsFalseAndQuiet) {
    auto character = makeCharacter();
    auto physics = std::make_shared<Physics>();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(character->checkCollision(nullptr, physics));
    EXPECT_FALSE(character->checkCollision(std::shared_ptr<btCollisionObject>(), nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
