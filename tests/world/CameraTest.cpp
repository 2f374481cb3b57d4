#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include <glm/gtc/matrix_transform.hpp>

#include "framework/Input.h"
#include "render/DebugCamera.h"
#include "render/ThirdPersonCamera.h"
#include "world/PlayableCharacter.h"

namespace {

constexpr int kKeyW = 87;
constexpr int kKeyS = 83;
constexpr int kKeyD = 68;
constexpr int kKeyM = 77;
constexpr int kKeyDown = 264;

const glm::vec3 kStart(-100.0f, 20.0f, -200.0f);

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance = 1e-4f) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(actual[c][r], expected[c][r], tolerance) << "column " << c << " row " << r;
        }
    }
}

std::shared_ptr<DebugCamera> makeDebugCamera() {
    return std::make_shared<DebugCamera>(kStart, 60.0f, 1.5f, 0.1f, 5000.0f, 15.0f, 10.0f);
}

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override { Input::releaseAllHeldKeys(); }
    void TearDown() override { Input::releaseAllHeldKeys(); }
};

TEST_F(CameraTest, ProjectionFromFieldOfViewAndAspect) {
    auto camera = makeDebugCamera();
    const glm::mat4& projection = camera->getStoredProjection();
    EXPECT_NEAR(projection[1][1], 1.7320508f, 1e-5f);
    EXPECT_NEAR(projection[0][0], 1.1547005f, 1e-5f);
    EXPECT_NEAR(projection[2][3], -1.0f, 1e-6f);
    expectNear(camera->getProjectionMatrix(), projection);
    // The view stays identity until the first update.
    expectNear(camera->getViewProjectionMatrix(), projection);
}

TEST_F(CameraTest, AspectRatioOfAMinimisedWindowKeepsTheProjection) {
    auto camera = makeDebugCamera();
    camera->update(0.0f);
    camera->setAspectRatio(2.0f);
    const glm::mat4 before = camera->getViewProjectionMatrix();
    EXPECT_NEAR(camera->getStoredProjection()[0][0], 1.7320508f / 2.0f, 1e-5f);

    camera->setAspectRatio(0.0f);
    camera->setAspectRatio(std::numeric_limits<float>::infinity());
    camera->setAspectRatio(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(camera->getAspectRatio(), 2.0f);
    expectNear(camera->getViewProjectionMatrix(), before, 0.0f);
}

TEST_F(CameraTest, DebugCameraPitchClampsAt89Degrees) {
    auto camera = makeDebugCamera();
    Input::holdKey(kKeyW);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 20; ++i) {
        camera->update(1.0f);  // 10 degrees a second
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(camera->getPitch(), 89.0f);
    EXPECT_NE(printed.find("Key W is pressed\n"), std::string::npos);

    Input::releaseAllHeldKeys();
    Input::holdKey(kKeyDown);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 40; ++i) {
        camera->update(1.0f);
    }
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Key S is pressed\n"), std::string::npos);
    EXPECT_EQ(camera->getPitch(), -89.0f);

    camera->setPitch(120.0f);
    EXPECT_EQ(camera->getPitch(), 89.0f);
}

TEST_F(CameraTest, DebugCameraOppositeKeysCancel) {
    auto camera = makeDebugCamera();
    camera->rotate(10.0f, 0.0f);
    Input::holdKey(kKeyW);
    Input::holdKey(kKeyS);
    testing::internal::CaptureStdout();
    camera->update(0.5f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Key W is pressed\nKey S is pressed\n");
    EXPECT_NEAR(camera->getPitch(), 10.0f, 1e-4f);
}

TEST_F(CameraTest, DebugCameraSettingsTakeEffectAtTheFirstTurn) {
    auto camera = makeDebugCamera();
    camera->setYaw(0.0f);
    camera->setPitch(0.0f);
    camera->update(0.1f);
    expectNear(camera->getFront(), glm::vec3(0, 0, -1));

    Input::holdKey(kKeyD);
    testing::internal::CaptureStdout();
    camera->update(0.1f);  // one degree to the right of yaw 0
    testing::internal::GetCapturedStdout();
    expectNear(camera->getFront(), glm::vec3(std::cos(0.017453292f), 0, std::sin(0.017453292f)));
}

TEST_F(CameraTest, DebugCameraMovesForwardOnM) {
    auto camera = makeDebugCamera();
    Input::holdKey(kKeyM);
    testing::internal::CaptureStdout();
    camera->update(2.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Key M is pressed\n");
    expectNear(camera->getPosition(), kStart + glm::vec3(0, 0, -30));
    const glm::mat4 expectedView = glm::lookAt(
        camera->getPosition(), camera->getPosition() + glm::vec3(0, 0, -1), glm::vec3(0, 1, 0));
    expectNear(camera->getStoredView(), expectedView);
    expectNear(camera->getViewMatrix(), expectedView);
}

TEST_F(CameraTest, ThirdPersonCameraHangsBehindAndAboveTheCharacter) {
    auto character = std::make_shared<PlayableCharacter>(
        "Player", glm::vec3(10, 5, -20), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0),
        glm::vec3(1, 0, 0), glm::vec3(0.0f), glm::vec3(1.0f), nullptr, nullptr);
    character->rotate(0.3f, 0.8f);
    ThirdPersonCamera camera(kStart, 60.0f, 1.5f, 0.1f, 5000.0f, 15.0f, 10.0f, character);

    for (float dt : {0.0f, 0.016f, 1.0f}) {
        camera.update(dt);
        const glm::vec3 p = character->getPosition();
        const glm::vec3 d = character->getDirection();
        const glm::vec3 u = character->getUp();
        expectNear(camera.getStoredView(),
                   glm::lookAt(p - 1.5f * d + u, p + 0.5f * u, glm::vec3(0, 1, 0)));
        expectNear(camera.getViewMatrix(),
                   glm::lookAt(p - d + u, p + 0.5f * u, glm::vec3(0, 1, 0)));
        expectNear(camera.getViewProjectionMatrix(),
                   camera.getStoredProjection() * camera.getStoredView());
        character->setSpeed(10.0f);
        character->update(0.25f);
    }
    // The sky's view sits half a unit nearer the character than the drawing view.
    EXPECT_GT(glm::length(camera.getViewMatrix()[3] - camera.getStoredView()[3]), 0.1f);
    expectNear(camera.getPosition(), kStart);
}

}  // namespace
