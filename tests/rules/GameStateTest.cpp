// The state machine: countdown, timer, pause, and what each state moves.
#include <gtest/gtest.h>

#include "RulesTestSupport.h"
#include "world/Collectable.h"
#include "world/Obstacle.h"
#include "world/TerrainObject.h"

using namespace rules_test;
using Cue = Sound::Cue;

namespace {

// Far from everything the tests place near the origin.
const glm::vec3 kOpenSky(0.0f, 100.0f, 0.0f);

TEST(GameState, CountdownOfThreeWithOneSecondFramesStartsTheFlightInTheThirdFrame) {
    Level level;
    auto player = makePlayer(kOpenSky);
    auto ring = makeBoxed<Collectable>("Ring", glm::vec3(50.0f, 0.0f, 0.0f));
    level.world->addObject(player);
    level.world->addObject(ring);
    level.world->state = GameState::Countdown;
    level.world->countdown = 3.0f;

    level.frames(1, 1.0f);
    EXPECT_EQ(level.world->state, GameState::Countdown);
    EXPECT_FLOAT_EQ(level.world->countdown, 2.0f);
    EXPECT_EQ(player->getPosition(), kOpenSky);      // the player waits...
    EXPECT_NE(ring->getPosition().y, 0.0f);          // ...while the rings bob
    EXPECT_FLOAT_EQ(level.world->timeLeft, 120.0f);  // and the clock stands
    EXPECT_EQ(level.camera->updates, 1);

    level.frames(1, 1.0f);
    EXPECT_EQ(level.world->state, GameState::Countdown);
    EXPECT_EQ(player->getPosition(), kOpenSky);

    level.frames(1, 1.0f);
    EXPECT_EQ(level.world->state, GameState::Playing);
    EXPECT_EQ(level.world->countdown, 0.0f);
    EXPECT_EQ(player->getSpeed(), 10.0f);
    EXPECT_FLOAT_EQ(player->getPosition().z, -10.0f);  // moved in the same frame
    EXPECT_FLOAT_EQ(level.world->timeLeft, 120.0f);    // the timer starts next frame
}

TEST(GameState, WaitingMovesNothingButTheHudFollows) {
    Level level;
    auto player = makePlayer(kOpenSky);
    player->setSpeed(10.0f);
    level.world->addObject(player);
    level.world->timeLeft = 125.0f;
    level.frames(3, 1.0f);
    EXPECT_EQ(level.world->state, GameState::Waiting);
    EXPECT_EQ(player->getPosition(), kOpenSky);
    EXPECT_EQ(level.camera->updates, 0);
    EXPECT_EQ(level.hud->getTimerText(), "02:05");
}

TEST(GameState, TimerClampsAtExactlyZeroAndTheNextFrameShowsTimeIsUp) {
    Level level;
    auto player = makePlayer(kOpenSky);
    level.world->addObject(player);
    level.world->state = GameState::Playing;
    level.world->timeLeft = 0.5f;

    EXPECT_EQ(level.frames(1, 0.8f), "");
    EXPECT_EQ(level.world->timeLeft, 0.0f);
    EXPECT_EQ(level.world->state, GameState::Lost);
    EXPECT_FALSE(level.hud->titleVisible);  // the texts follow on the next frame
    EXPECT_TRUE(level.holds(player));

    level.frames(1, 0.8f);
    EXPECT_EQ(level.hud->title, "TIME IS UP");
    EXPECT_TRUE(level.hud->titleVisible);
    EXPECT_FALSE(level.holds(player));
    EXPECT_EQ(level.cues(Cue::StopAll), 1);
    EXPECT_EQ(level.cues(Cue::Sad), 1);

    // Later Lost frames find no player and change nothing.
    level.frames(5, 1.0f);
    EXPECT_EQ(level.cues(Cue::Sad), 1);
    EXPECT_EQ(level.hud->title, "TIME IS UP");
    EXPECT_EQ(level.world->state, GameState::Lost);
}

TEST(GameState, TimerEndingInTheFrameOfAnObstacleContactShowsTimeIsUp) {
    Level level;
    level.world->addObject(makePlayer(glm::vec3(0.0f)));
    level.world->addObject(makeBoxed<Obstacle>("Water", glm::vec3(0.0f, -1.5f, 0.0f)));
    level.world->state = GameState::Playing;
    level.world->timeLeft = 0.25f;

    EXPECT_EQ(level.frames(1, 1.0f), "Player collided with obstacle: Water\n");
    EXPECT_EQ(level.world->state, GameState::Lost);
    EXPECT_EQ(level.hud->title, "TIME IS UP");
    EXPECT_EQ(level.cues(Cue::Collide), 1);
    EXPECT_EQ(level.cues(Cue::StopAll), 1);  // the collide sound is cut for the sad one
    EXPECT_EQ(level.cues(Cue::Sad), 1);
}

TEST(GameState, ObstacleOrTerrainContactWithTimeLeftIsGameOverInTheSameFrame) {
    for (bool terrain : {false, true}) {
        Level level;
        auto player = makePlayer(glm::vec3(0.0f, -20.0f, -400.0f));
        level.world->addObject(player);
        if (terrain) {
            // The ground slab of the shipped level reaches from y = -40 to -10.
            level.world->addObject(std::make_shared<TerrainObject>(
                "Terrain", glm::vec3(0.0f, -25.0f, -400.0f), glm::vec3(0.0f), glm::vec3(1.0f),
                nullptr, nullptr));
        } else {
            level.world->addObject(makeBoxed<Obstacle>("Water", glm::vec3(0.0f, -21.0f, -400.0f)));
        }
        level.world->state = GameState::Playing;
        const std::string message =
            terrain ? "Player collided with Terrain\n" : "Player collided with obstacle: Water\n";
        EXPECT_EQ(level.frames(1, 0.1f), message);
        EXPECT_EQ(level.world->state, GameState::Lost);
        EXPECT_EQ(level.hud->title, "GAME OVER");
        EXPECT_FALSE(level.holds(player));
        EXPECT_EQ(level.cues(Cue::Collide), 1);
        EXPECT_EQ(level.cues(Cue::Sad), 0);
        EXPECT_EQ(level.cues(Cue::StopAll), 0);
        EXPECT_FLOAT_EQ(level.world->timeLeft, 119.9f);
    }
}

TEST(GameState, PauseKeepsTheTimeAndResumingFliesAtFifteen) {
    Level level;
    auto player = makePlayer(kOpenSky);
    level.world->addObject(player);
    level.world->state = GameState::Playing;
    level.world->timeLeft = 37.5f;
    player->setSpeed(10.0f);

    level.world->togglePause();
    EXPECT_TRUE(level.world->isPaused());
    EXPECT_EQ(player->getSpeed(), 0.0f);
    EXPECT_EQ(level.hud->subtitle, "PAUSED");
    EXPECT_TRUE(level.hud->subtitleVisible);

    level.frames(10, 1.0f);
    EXPECT_EQ(level.world->timeLeft, 37.5f);
    EXPECT_EQ(player->getPosition(), kOpenSky);
    EXPECT_EQ(level.hud->getTimerText(), "00:37");

    level.world->togglePause();
    EXPECT_FALSE(level.world->isPaused());
    EXPECT_EQ(player->getSpeed(), 15.0f);  // not the 10 of the start
    EXPECT_EQ(level.hud->subtitle, "");
    EXPECT_FALSE(level.hud->subtitleVisible);

    level.frames(1, 0.5f);
    EXPECT_EQ(level.world->timeLeft, 37.0f);
    EXPECT_FLOAT_EQ(player->getPosition().z, -7.5f);
}

TEST(GameState, EachOfTheLastTenSecondsTicksOnceAndAPauseIsSilent) {
    Level level;
    level.world->addObject(makePlayer(kOpenSky));
    level.world->state = GameState::Playing;
    level.world->timeLeft = 12.0f;
    const auto ticks = [&] { return level.world->getSound()->getCueCount(Sound::Cue::Tick); };

    // Steps of an eighth of a second add up exactly.
    level.frames(16, 0.125f);  // 12 s to 10 s: not yet
    EXPECT_EQ(ticks(), 0);
    level.frames(1, 0.125f);  // the timer shows 00:09
    EXPECT_EQ(ticks(), 1);
    level.world->togglePause();
    level.frames(30, 0.125f);
    EXPECT_EQ(ticks(), 1);
    level.world->togglePause();
    level.frames(100, 0.125f);  // on to the end: 00:08 to 00:00 tick, time up does not
    EXPECT_EQ(ticks(), 10);
    EXPECT_EQ(level.world->state, GameState::Lost);
}

TEST(GameState, TogglePauseOutsidePlayingChangesNothing) {
    for (GameState state :
         {GameState::Waiting, GameState::Countdown, GameState::Lost, GameState::Won}) {
        Level level;
        auto player = makePlayer(kOpenSky);
        player->setSpeed(3.0f);
        level.world->addObject(player);
        level.world->state = state;
        level.hud->setSubtitle("POINTS: 2");
        level.world->togglePause();
        EXPECT_FALSE(level.world->isPaused()) << static_cast<int>(state);
        EXPECT_EQ(player->getSpeed(), 3.0f);
        EXPECT_EQ(level.hud->subtitle, "POINTS: 2");
        EXPECT_EQ(level.world->state, state);
    }
}

TEST(GameState, ALevelWithoutAPlayerRunsItsTimerAndFindsNoContacts) {
    Level level;
    auto ring = makeBoxed<Collectable>("Ring", glm::vec3(0.0f));
    level.world->addObject(ring);
    level.world->state = GameState::Countdown;
    level.world->countdown = 0.5f;
    EXPECT_EQ(level.frames(3, 0.5f), "");
    EXPECT_EQ(level.world->state, GameState::Playing);
    EXPECT_FLOAT_EQ(level.world->timeLeft, 119.0f);
    EXPECT_TRUE(level.holds(ring));
    EXPECT_EQ(level.world->getScore(), 0.0f);
}

TEST(GameState, StoppingTheSoundsOfAFinishedRun) {
    Level level;
    level.world->stopSounds();
    EXPECT_EQ(level.cues(Cue::StopAll), 1);
}

}  // namespace
