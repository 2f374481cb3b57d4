#include <gtest/gtest.h>

#include "app/RunLoop.h"
#include "app/SceneAssembly.h"
#include "framework/Gl.h"
#include "presentation/AllocationCounter.h"
#include "render/Material.h"
#include "render/RenderPipeline.h"
#include "support/GlTestContext.h"
#include "world/GameRandom.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

namespace {

using presentation_test::AllocationCounter;

// The whole level in flight: the frame loop's per-frame work (water, world
// update with its contact walk over 106 objects, particles and HUD, and the
// render pipeline with every object, the terrain's tiles, bloom and HUD)
// allocates nothing once the first frames have run.
TEST(LevelFrame, FramesOfTheAssembledLevelInFlightAllocateNothing) {
    REQUIRE_GL_CONTEXT();
    if (!AllocationCounter::available()) {
        GTEST_SKIP() << "allocations are not counted in sanitizer builds";
    }
    const StartupValues values;
    GameRandom::reseedEngine(20240611);
    testing::internal::CaptureStdout();
    Scene scene =
        assembleScene(values.width, values.height, values.startPosition, values.fov, values.near,
                      values.far, values.moveSpeed, values.rotationSpeed, values.yaw, values.pitch);
    ASSERT_NE(scene.worldManager, nullptr);
    WorldManager& world = *scene.worldManager;
    world.state = GameState::Playing;
    scene.player->setSpeed(10.0f);
    const auto frame = [&] {
        scene.waterMaterial->update(1.0f / 60.0f);
        world.update(1.0f / 60.0f, values.width, values.height);
        scene.renderPipeline->render(world, values.width, values.height);
    };
    // The first frames build what a frame needs once (the driver compiles
    // its shader variants).
    for (int i = 0; i < 3; ++i) {
        frame();
    }
    size_t allocations = 0;
    {
        AllocationCounter counter;
        for (int i = 0; i < 10; ++i) {
            frame();
        }
        allocations = counter.count();
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(world.state, GameState::Playing);
    EXPECT_EQ(world.getObjects().size(), 106u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
