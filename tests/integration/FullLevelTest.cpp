// The shipped level built from the real assets on a real context and played
// with fixed frame times and held keys: its object list, the start, the
// flight, both ways to lose, the win and the restart.
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "LevelDriver.h"
#include "app/Scene.h"
#include "framework/Gamepad.h"
#include "framework/Gl.h"
#include "framework/Input.h"
#include "render/Camera.h"
#include "render/DebugCamera.h"
#include "render/HeadsUpDisplay.h"
#include "render/ThirdPersonCamera.h"
#include "support/FakePads.h"
#include "support/GlTestContext.h"
#include "world/BestRuns.h"
#include "world/GameObject.h"
#include "world/GhostGlider.h"
#include "world/PlayableCharacter.h"
#include "world/Sound.h"
#include "world/WorldManager.h"

using integration_test::buildLevel;
using integration_test::LevelDriver;

namespace {

constexpr float kFrame = 1.0f / 30.0f;
const glm::vec3 kStart(-100.0f, 20.0f, -200.0f);
const glm::vec3 kGoalPosition(-100.0f, 0.0f, -450.0f);
// The middle of the box the rings are placed in.
const glm::vec3 kRingFieldCentre(-100.0f, 26.0f, -350.0f);

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::shared_ptr<GameObject> objectNamed(const WorldManager& world, const std::string& name) {
    for (const auto& object : world.getObjects()) {
        if (object->getName() == name) {
            return object;
        }
    }
    return nullptr;
}

// The closest ring still in the level that lies ahead of the player, within
// reach of its turns (one radian a second at speed ten) and high enough to
// pull up after it before the ground, or null.
std::shared_ptr<GameObject> ringAhead(const WorldManager& world, const PlayableCharacter& player) {
    std::shared_ptr<GameObject> nearest;
    float nearestDistance = 0.0f;
    for (const auto& object : world.getObjects()) {
        const glm::vec3 offset = object->getPosition() - player.getPosition();
        const float distance = glm::length(offset);
        if (object->getName().rfind("Ring_", 0) != 0 || distance < 15.0f ||
            object->getPosition().y < 12.0f ||
            glm::dot(offset / distance, player.getDirection()) < 0.7f) {
            continue;
        }
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = object;
            nearestDistance = distance;
        }
    }
    return nearest;
}

TEST(FullLevel, HoldsItsObjectsInOrderAndStartsOnTheStartScreen) {
    REQUIRE_GL_CONTEXT();
    std::string printed;
    LevelDriver level(buildLevel(&printed));
    const WorldManager& world = *level.scene.worldManager;

    EXPECT_NE(printed.find("Water vertices: 2500\nCreated water object\n"), std::string::npos)
        << printed;

    const auto& objects = world.getObjects();
    ASSERT_EQ(objects.size(), 106u);
    const char* firstNames[] = {"Player", "Water", "Terrain", "Goal", "Mirror", "GoalEmitter"};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(objects[i]->getName(), firstNames[i]) << "object " << i;
    }
    for (size_t i = 0; i < 100; ++i) {
        EXPECT_EQ(objects[6 + i]->getName(), "Ring_" + std::to_string(i));
    }
    EXPECT_EQ(objects[0], level.scene.player);
    std::set<GameObject*> distinct;
    for (const auto& object : objects) {
        distinct.insert(object.get());
    }
    EXPECT_EQ(distinct.size(), 106u);

    // The goal, the mirror and the emitter stand at one point.
    EXPECT_EQ(objects[3]->getPosition(), kGoalPosition);
    EXPECT_EQ(objects[4]->getPosition(), kGoalPosition);
    EXPECT_EQ(objects[5]->getPosition(), kGoalPosition);

    EXPECT_EQ(world.state, GameState::Waiting);
    EXPECT_EQ(world.getCamera(), level.scene.thirdPersonCamera);
    EXPECT_EQ(level.scene.player->getPosition(), kStart);
    EXPECT_EQ(level.scene.shaders.size(), 8u);
    EXPECT_NE(world.getRenderPipeline(), nullptr);
    EXPECT_EQ(world.getRenderPipeline(), level.scene.renderPipeline);
}

TEST(FullLevel, SpaceStartsAThreeSecondCountdownAndThePlayerThenFliesAtTen) {
    REQUIRE_GL_CONTEXT();
    LevelDriver level(buildLevel());
    WorldManager& world = *level.scene.worldManager;
    const auto& player = level.scene.player;

    // The start screen waits for as long as it is shown, and a Space held
    // down does nothing until it is let go.
    level.frames(60, 0.5f);
    Input::postEvent(GLFW_KEY_SPACE, GLFW_PRESS);
    level.frames(1, 0.5f);
    EXPECT_EQ(world.state, GameState::Waiting);
    EXPECT_EQ(player->getPosition(), kStart);
    EXPECT_EQ(world.timeLeft, 120.0f);

    Input::postEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
    level.frames(1, 0.5f);
    EXPECT_EQ(world.state, GameState::Countdown);
    EXPECT_EQ(world.countdown, 2.5f);  // 3 seconds, less the frame that started it

    // Space again during the countdown changes nothing.
    level.releaseSpace(0.5f);
    EXPECT_EQ(world.countdown, 2.0f);
    level.frames(3, 0.5f);
    EXPECT_EQ(world.state, GameState::Countdown);
    EXPECT_EQ(player->getPosition(), kStart);
    EXPECT_EQ(world.timeLeft, 120.0f);

    // The sixth half-second frame ends the countdown and the player moves in it.
    level.frames(1, 0.5f);
    EXPECT_EQ(world.state, GameState::Playing);
    EXPECT_EQ(player->getSpeed(), 10.0f);
    EXPECT_NEAR(player->getPosition().z, kStart.z - 5.0f, 1e-3f);

    const glm::vec3 before = player->getPosition();
    level.frames(10, 0.1f);
    EXPECT_NEAR(glm::length(player->getPosition() - before), 10.0f, 1e-3f);
    EXPECT_NEAR(player->getPosition().z, before.z - 10.0f, 1e-3f);  // straight on along -z
    EXPECT_NEAR(world.timeLeft, 119.0f, 1e-3f);
}

TEST(FullLevel, SpacePausesAndResumesAndOneSwitchesTheCamera) {
    REQUIRE_GL_CONTEXT();
    LevelDriver level(buildLevel());
    WorldManager& world = *level.scene.worldManager;
    const HeadsUpDisplay& hud = *world.getHud();
    level.startFlight(kFrame);
    ASSERT_EQ(world.state, GameState::Playing);

    level.releaseSpace(kFrame);
    EXPECT_EQ(hud.subtitle, "PAUSED");
    EXPECT_TRUE(hud.subtitleVisible);
    const glm::vec3 pausedAt = level.scene.player->getPosition();
    const float timeLeft = world.timeLeft;
    level.frames(90, kFrame);
    EXPECT_EQ(level.scene.player->getPosition(), pausedAt);
    EXPECT_EQ(world.timeLeft, timeLeft);

    // A paused game is still being played: 1 switches there too.
    Input::postEvent(GLFW_KEY_1, GLFW_RELEASE);
    level.frames(1, kFrame);
    EXPECT_EQ(world.getCamera(), level.scene.debugCamera);

    level.releaseSpace(kFrame);
    EXPECT_FALSE(hud.subtitleVisible);
    EXPECT_EQ(level.scene.player->getSpeed(), 15.0f);
    EXPECT_LT(level.scene.player->getPosition().z, pausedAt.z);

    Input::postEvent(GLFW_KEY_1, GLFW_RELEASE);
    level.frames(1, kFrame);
    EXPECT_EQ(world.getCamera(), level.scene.thirdPersonCamera);
}

TEST(FullLevel, DivingEndsTheRunOnTheTerrainWithGameOver) {
    REQUIRE_GL_CONTEXT();
    LevelDriver level(buildLevel());
    WorldManager& world = *level.scene.worldManager;
    level.startFlight(kFrame);

    Input::holdKey(GLFW_KEY_S);
    const std::string printed =
        level.framesUntil([&] { return world.state != GameState::Playing; }, 600, kFrame);
    Input::releaseHeldKey(GLFW_KEY_S);

    ASSERT_EQ(world.state, GameState::Lost) << printed;
    EXPECT_NE(printed.find("Player collided with Terrain\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("Player collided with obstacle"), std::string::npos) << printed;
    EXPECT_EQ(world.getHud()->title, "GAME OVER");
    EXPECT_TRUE(world.getHud()->titleVisible);
    EXPECT_FALSE(level.holds(level.scene.player));
    EXPECT_GT(world.timeLeft, 100.0f);
    EXPECT_EQ(world.getSound()->getCueCount(Sound::Cue::Collide), 1);

    // The outcome stays on screen: later frames change nothing.
    level.frames(30, kFrame);
    EXPECT_EQ(world.state, GameState::Lost);
    EXPECT_EQ(world.getHud()->title, "GAME OVER");
    EXPECT_FALSE(level.restart);
}

TEST(FullLevel, SteeringThroughRingsAndIntoTheGoalWinsWithAPointForEachRing) {
    REQUIRE_GL_CONTEXT();
    LevelDriver level(buildLevel());
    WorldManager& world = *level.scene.worldManager;
    const HeadsUpDisplay& hud = *world.getHud();
    const auto goal = objectNamed(world, "Goal");
    ASSERT_NE(goal, nullptr);
    const std::filesystem::path recordsFolder =
        std::filesystem::temp_directory_path() / "veltra_full_level_records";
    std::filesystem::remove_all(recordsFolder);
    const auto bestRuns = std::make_shared<BestRuns>(BestRuns::open(recordsFolder));
    world.setBestRuns(bestRuns);
    std::string printed = level.startFlight(kFrame);

    // Steered by hand towards the closest ring ahead until it is taken or
    // left behind, back towards the ring field while none is ahead, until
    // three are taken.
    std::shared_ptr<GameObject> ring;
    printed += level.framesUntil(
        [&] {
            const PlayableCharacter& player = *level.scene.player;
            if (ring == nullptr || !level.holds(ring) ||
                glm::dot(ring->getPosition() - player.getPosition(), player.getDirection()) <
                    0.0f) {
                ring = ringAhead(world, player);
            }
            level.steerTowards(ring != nullptr ? ring->getPosition() : kRingFieldCentre);
            return world.getScore() >= 3.0f || world.state != GameState::Playing;
        },
        60 * 30, kFrame);
    ASSERT_EQ(world.state, GameState::Playing) << printed;
    ASSERT_GE(world.getScore(), 3.0f);

    printed += level.framesUntil(
        [&] {
            level.steerTowards(goal->getPosition());
            return world.state != GameState::Playing;
        },
        60 * 30, kFrame);
    Input::releaseAllHeldKeys();

    ASSERT_EQ(world.state, GameState::Won) << printed;
    EXPECT_NE(printed.find("Player finished the game!Goal\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("collided"), std::string::npos) << printed;
    // Rings flown through on the way to the goal count too.
    const int rings = countOf(printed, "Player collected: Ring_");
    EXPECT_GE(rings, 3);
    EXPECT_EQ(world.getScore(), static_cast<float>(rings));
    EXPECT_EQ(world.getObjects().size(), 105u - static_cast<size_t>(rings));  // no player
    EXPECT_EQ(hud.title, "WELL DONE!");
    EXPECT_EQ(hud.subtitle, "POINTS: " + std::to_string(rings));
    EXPECT_TRUE(hud.subtitleVisible);
    EXPECT_GE(world.getSound()->getCueCount(Sound::Cue::Win), 1);

    // The first won run is the best, kept on disk with the time it had left.
    EXPECT_EQ(hud.record, "NEW BEST!");
    const std::vector<RunRecord> kept = BestRuns::open(recordsFolder).runs();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].points, rings);
    EXPECT_EQ(kept[0].tenthsLeft, static_cast<int>(world.timeLeft * 10.0f));
    EXPECT_EQ(hud.bestRun, bestRunLine(kept));

    // Its path is kept beside the records, sampled 30 times a flown second
    // from the start.
    const std::optional<GhostFlight> best = GhostFlight::load(recordsFolder);
    ASSERT_TRUE(best);
    EXPECT_NEAR(static_cast<float>(best->samples().size()), world.flightTime * 30.0f, 2.0f);
    EXPECT_LT(glm::distance(best->samples().front().position, glm::vec3(-100.0f, 20.0f, -200.0f)),
              1.0f);

    // The next run races it: the ghost is where the best flight was at the
    // same flight time, G hides it and shows it again, and Space's pause
    // holds it where it is.
    LevelDriver next(buildLevel());
    WorldManager& nextWorld = *next.scene.worldManager;
    next.scene.ghost->setFlight(std::make_shared<const GhostFlight>(*best));
    nextWorld.setGhost(next.scene.ghost);
    const GhostGlider& ghost = *next.scene.ghost;
    EXPECT_FALSE(ghost.isVisible());  // not before the countdown ends
    next.startFlight(kFrame);
    next.frames(45, kFrame);
    ASSERT_TRUE(ghost.isVisible());
    EXPECT_LT(glm::distance(ghost.getPosition(), best->poseAt(nextWorld.flightTime)->position),
              1e-3f);
    Input::postEvent(GLFW_KEY_G, GLFW_PRESS);
    Input::postEvent(GLFW_KEY_G, GLFW_RELEASE);
    next.frames(1, kFrame);
    EXPECT_FALSE(ghost.isVisible());
    Input::postEvent(GLFW_KEY_G, GLFW_PRESS);
    Input::postEvent(GLFW_KEY_G, GLFW_RELEASE);
    next.frames(1, kFrame);
    EXPECT_TRUE(ghost.isVisible());
    next.releaseSpace(kFrame);
    const glm::vec3 paused = ghost.getPosition();
    next.frames(10, kFrame);
    EXPECT_EQ(ghost.getPosition(), paused);
    EXPECT_TRUE(ghost.isVisible());
}

TEST(FullLevel, CirclingUntilTheClockRunsOutShowsTimeIsUp) {
    REQUIRE_GL_CONTEXT();
    LevelDriver level(buildLevel());
    WorldManager& world = *level.scene.worldManager;
    level.startFlight(0.1f);

    // A held A turns one radian a second: a circle of radius 10 above the
    // start, clear of the ground, the water and the goal.
    Input::holdKey(GLFW_KEY_A);
    std::string printed =
        level.framesUntil([&] { return world.state != GameState::Playing; }, 1300, 0.1f);
    ASSERT_EQ(world.state, GameState::Lost) << printed;
    EXPECT_EQ(world.timeLeft, 0.0f);
    EXPECT_EQ(printed.find("collided"), std::string::npos) << printed;
    // The texts follow one frame after the timer ran out.
    printed += level.frames(1, 0.1f);
    Input::releaseHeldKey(GLFW_KEY_A);

    EXPECT_EQ(world.getHud()->title, "TIME IS UP");
    EXPECT_TRUE(world.getHud()->titleVisible);
    EXPECT_FALSE(level.holds(level.scene.player));
    EXPECT_EQ(world.getSound()->getCueCount(Sound::Cue::Sad), 1);
    EXPECT_EQ(world.getSound()->getCueCount(Sound::Cue::StopAll), 1);
}

TEST(FullLevel, SpaceAfterAnOutcomeAsksForARestartThatBuildsANewIndependentLevel) {
    REQUIRE_GL_CONTEXT();
    LevelDriver first(buildLevel());
    WorldManager& firstWorld = *first.scene.worldManager;
    first.startFlight(kFrame);
    Input::holdKey(GLFW_KEY_S);
    first.framesUntil([&] { return firstWorld.state != GameState::Playing; }, 600, kFrame);
    Input::releaseHeldKey(GLFW_KEY_S);
    ASSERT_EQ(firstWorld.state, GameState::Lost);

    // The frame that sees Space still runs; the restart takes the next one.
    first.releaseSpace(kFrame);
    EXPECT_TRUE(first.restart);
    EXPECT_EQ(firstWorld.state, GameState::Lost);

    LevelDriver second(buildLevel());
    WorldManager& secondWorld = *second.scene.worldManager;
    EXPECT_NE(&secondWorld, &firstWorld);
    EXPECT_NE(secondWorld.getHud(), firstWorld.getHud());
    EXPECT_NE(secondWorld.getPhysics(), firstWorld.getPhysics());
    EXPECT_NE(second.scene.renderPipeline, first.scene.renderPipeline);
    EXPECT_EQ(secondWorld.state, GameState::Waiting);
    EXPECT_EQ(secondWorld.timeLeft, 120.0f);
    EXPECT_EQ(secondWorld.getScore(), 0.0f);
    EXPECT_TRUE(secondWorld.getHud()->title.empty());
    EXPECT_EQ(second.scene.player->getPosition(), kStart);

    const auto& objects = secondWorld.getObjects();
    ASSERT_EQ(objects.size(), 106u);
    EXPECT_EQ(objects[0]->getName(), "Player");
    EXPECT_EQ(objects[105]->getName(), "Ring_99");
    for (const auto& object : objects) {
        EXPECT_FALSE(first.holds(object)) << object->getName() << " is shared with the old level";
        EXPECT_NE(object, first.scene.player);
    }

    // Playing the new level leaves the old one, kept for the loading
    // screen, as it ended.
    second.startFlight(kFrame);
    EXPECT_EQ(secondWorld.state, GameState::Playing);
    EXPECT_EQ(firstWorld.state, GameState::Lost);
    EXPECT_EQ(firstWorld.getHud()->title, "GAME OVER");
    EXPECT_FALSE(second.restart);
}

// A player with a pad: A starts the countdown, and the stick pushed up and
// to the right flies the same path as W and D held on the keyboard.
TEST(FullLevel, APadStartsTheFlightAndSteersItAsTheKeyboardDoes) {
    REQUIRE_GL_CONTEXT();
    constexpr float kDt = 1.0f / 30.0f;
    constexpr int kSteeredFrames = 45;

    LevelDriver keyboard(buildLevel());
    keyboard.startFlight(kDt);
    ASSERT_EQ(keyboard.scene.worldManager->state, GameState::Playing);
    Input::holdKey(GLFW_KEY_W);
    Input::holdKey(GLFW_KEY_D);
    keyboard.frames(kSteeredFrames, kDt);
    Input::releaseAllHeldKeys();
    const glm::vec3 byKeys = keyboard.scene.player->getPosition();
    ASSERT_NE(byKeys, kStart);

    LevelDriver padded(buildLevel());
    auto source = std::make_unique<testing_support::FakePads>();
    testing_support::FakePads& pads = *source;
    pads.pad(0).present = true;
    testing::internal::CaptureStdout();
    gamepad::Gamepads gamepads(std::move(source));
    gamepads.update();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Gamepad connected: Test Pad\n");
    // Each frame reads the pad first, as the run loop does.
    auto padFrames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            gamepads.update();
            padded.frames(1, kDt);
        }
    };
    pads.setButton(0, GLFW_GAMEPAD_BUTTON_A, true);
    padFrames(1);
    pads.setButton(0, GLFW_GAMEPAD_BUTTON_A, false);
    padFrames(1);
    WorldManager& world = *padded.scene.worldManager;
    EXPECT_EQ(world.state, GameState::Countdown);
    for (int i = 0; i < 200 && world.state == GameState::Countdown; ++i) {
        padFrames(1);
    }
    ASSERT_EQ(world.state, GameState::Playing);
    pads.setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_Y, -0.9f);
    pads.setAxis(0, GLFW_GAMEPAD_AXIS_LEFT_X, 0.9f);
    padFrames(kSteeredFrames);
    const glm::vec3 byPad = padded.scene.player->getPosition();
    EXPECT_NEAR(glm::distance(byPad, byKeys), 0.0f, 1e-3f)
        << "keys " << byKeys.x << " " << byKeys.y << " " << byKeys.z << ", pad " << byPad.x << " "
        << byPad.y << " " << byPad.z;
}

}  // namespace
