#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "render/ViewFrustum.h"

namespace {

// The game's camera: 60 degrees, 1.5 aspect, near 0.1, far 5000, at the
// origin looking down -z.
glm::mat4 gameViewProjection() {
    const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 1.5f, 0.1f, 5000.0f);
    const glm::mat4 view =
        glm::lookAt(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    return projection * view;
}

TEST(ViewFrustum, KeepsWhatIsAheadAndDropsWhatIsBehindOrBeyondTheFarPlane) {
    const ViewFrustum frustum(gameViewProjection());
    EXPECT_TRUE(frustum.intersectsSphere({0.0f, 0.0f, -50.0f}, 1.0f));
    EXPECT_FALSE(frustum.intersectsSphere({0.0f, 0.0f, 50.0f}, 1.0f));
    EXPECT_FALSE(frustum.intersectsSphere({0.0f, 0.0f, -5010.0f}, 5.0f));
    // A large sphere around the camera reaches into the view from behind.
    EXPECT_TRUE(frustum.intersectsSphere({0.0f, 0.0f, 50.0f}, 60.0f));
    // In front of the near plane but still reaching past it.
    EXPECT_TRUE(frustum.intersectsSphere({0.0f, 0.0f, 0.5f}, 1.0f));
}

TEST(ViewFrustum, SidePlanesCullOnlyWhatLiesWhollyOutside) {
    const ViewFrustum frustum(gameViewProjection());
    // At 100 units ahead the half-height of the view is 100 * tan(30 deg)
    // (57.7) and the half-width 1.5 times that (86.6).
    EXPECT_FALSE(frustum.intersectsSphere({0.0f, 70.0f, -100.0f}, 5.0f));
    EXPECT_TRUE(frustum.intersectsSphere({0.0f, 60.0f, -100.0f}, 5.0f));
    EXPECT_FALSE(frustum.intersectsSphere({-100.0f, 0.0f, -100.0f}, 5.0f));
    EXPECT_TRUE(frustum.intersectsSphere({-88.0f, 0.0f, -100.0f}, 5.0f));
    // Centres just outside the left edge: the plane leans 40.9 degrees, so
    // 92 lies 4.1 units from it (touching with radius 5) and 95 lies 6.4.
    EXPECT_TRUE(frustum.intersectsSphere({-92.0f, 0.0f, -100.0f}, 5.0f));
    EXPECT_FALSE(frustum.intersectsSphere({-95.0f, 0.0f, -100.0f}, 5.0f));
}

TEST(ViewFrustum, FollowsTheCameraWhereverItStandsAndLooks) {
    const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 1.5f, 0.1f, 5000.0f);
    const glm::vec3 eye(-100.0f, 20.0f, -200.0f);
    const glm::mat4 view = glm::lookAt(eye, eye + glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0, 1, 0));
    const ViewFrustum frustum(projection * view);
    EXPECT_TRUE(frustum.intersectsSphere(eye + glm::vec3(30.0f, 0.0f, 0.0f), 1.0f));
    EXPECT_FALSE(frustum.intersectsSphere(eye + glm::vec3(-30.0f, 0.0f, 0.0f), 1.0f));
    EXPECT_FALSE(frustum.intersectsSphere(eye + glm::vec3(0.0f, 0.0f, -30.0f), 1.0f));
}

TEST(ViewFrustum, ADegenerateMatrixCullsNothing) {
    const ViewFrustum frustum(glm::mat4(0.0f));
    EXPECT_TRUE(frustum.intersectsSphere({0.0f, 0.0f, 50.0f}, 1.0f));
    EXPECT_TRUE(frustum.intersectsSphere({1e6f, -1e6f, 1e6f}, 0.0f));
}

}  // namespace
