// The contact walk: rings, obstacles and goals in list order, with the
// console lines the game prints for them.
#include <gtest/gtest.h>

#include "RulesTestSupport.h"
#include "world/Collectable.h"
#include "world/Goal.h"
#include "world/Obstacle.h"

using namespace rules_test;
using Cue = Sound::Cue;

namespace {

// The player sits at the origin; "touching" objects overlap it there, the
// goal waits two frames of flight ahead.
const glm::vec3 kHere(0.0f);
const glm::vec3 kAway(0.0f, 0.0f, 300.0f);

std::shared_ptr<PlayableCharacter> startPlaying(Level& level) {
    auto player = makePlayer(kHere);
    level.world->addObject(player);
    level.world->state = GameState::Playing;
    return player;
}

TEST(ContactRules, ThreeRingsThenTheGoalShowPointsThree) {
    Level level;
    auto player = startPlaying(level);
    player->setSpeed(10.0f);
    level.world->addObject(makeBoxed<Goal>("Goal", glm::vec3(0.0f, 0.0f, -20.0f)));
    auto untouched = makeBoxed<Collectable>("Ring9", kAway);
    level.world->addObject(makeBoxed<Collectable>("Ring0", kHere));
    level.world->addObject(untouched);
    level.world->addObject(makeBoxed<Collectable>("Ring1", kHere));
    level.world->addObject(makeBoxed<Collectable>("Ring2", kHere));

    EXPECT_EQ(level.frames(1, 1.0f),
              "Player collected: Ring0\nPlayer collected: Ring1\nPlayer collected: Ring2\n");
    EXPECT_EQ(level.world->getScore(), 3.0f);
    EXPECT_EQ(level.world->getObjects().size(), 3u);  // player, goal, the untouched ring
    EXPECT_EQ(level.hud->getScoreText(), "0003");
    EXPECT_EQ(level.cues(Cue::Collect), 3);

    EXPECT_EQ(level.frames(1, 1.0f), "");  // at z = -10, between the rings and the goal
    EXPECT_EQ(level.frames(1, 1.0f), "Player finished the game!Goal\n");
    EXPECT_EQ(level.world->state, GameState::Won);
    EXPECT_EQ(level.hud->title, "WELL DONE!");
    EXPECT_EQ(level.hud->subtitle, "POINTS: 3");
    EXPECT_TRUE(level.hud->titleVisible);
    EXPECT_TRUE(level.hud->subtitleVisible);
    EXPECT_FALSE(level.holds(player));
    EXPECT_TRUE(level.holds(untouched));
    EXPECT_EQ(level.cues(Cue::Win), 1);

    // Won holds still: no timer, no more contacts.
    const float timeLeft = level.world->timeLeft;
    EXPECT_EQ(level.frames(3, 1.0f), "");
    EXPECT_EQ(level.world->timeLeft, timeLeft);
    EXPECT_EQ(level.world->state, GameState::Won);
}

TEST(ContactRules, ARingAfterAnEarlierObstacleIsNotCollected) {
    Level level;
    auto player = startPlaying(level);
    level.world->addObject(makeBoxed<Obstacle>("Water", kHere));
    auto ring = makeBoxed<Collectable>("Ring0", kHere);
    level.world->addObject(ring);

    EXPECT_EQ(level.frames(1, 0.1f), "Player collided with obstacle: Water\n");
    EXPECT_EQ(level.world->getScore(), 0.0f);
    EXPECT_TRUE(level.holds(ring));
    EXPECT_EQ(level.cues(Cue::Collect), 0);
    EXPECT_EQ(level.hud->title, "GAME OVER");
}

TEST(ContactRules, RingsBeforeTheObstacleStillCount) {
    Level level;
    startPlaying(level);
    level.world->addObject(makeBoxed<Collectable>("Ring0", kHere));
    level.world->addObject(makeBoxed<Obstacle>("Water", kHere));

    EXPECT_EQ(level.frames(1, 0.1f),
              "Player collected: Ring0\nPlayer collided with obstacle: Water\n");
    EXPECT_EQ(level.world->getScore(), 1.0f);
    EXPECT_EQ(level.world->state, GameState::Lost);
}

TEST(ContactRules, TheMirrorInsideTheGoalRepeatsTheWinAndALaterObstacleChangesNothing) {
    Level level;
    auto player = startPlaying(level);
    level.world->addObject(makeBoxed<Goal>("Goal", kHere));
    level.world->addObject(makeBoxed<Goal>("MirrorSphere", kHere));
    level.world->addObject(makeBoxed<Collectable>("Ring0", kHere));
    level.world->addObject(makeBoxed<Obstacle>("Water", kHere));

    // The player found at the start of the walk stays the one tested, even
    // after the first goal took it out of the list.
    EXPECT_EQ(level.frames(1, 0.1f),
              "Player finished the game!Goal\n"
              "Player finished the game!MirrorSphere\n"
              "Player collected: Ring0\n"
              "Player collided with obstacle: Water\n");
    EXPECT_EQ(level.cues(Cue::Win), 2);
    EXPECT_EQ(level.world->state, GameState::Won);
    EXPECT_EQ(level.hud->title, "WELL DONE!");
    EXPECT_EQ(level.hud->subtitle, "POINTS: 0");  // written before the ring
    EXPECT_FALSE(level.holds(player));
}

TEST(ContactRules, ARingListedTwiceIsCollectedOnce) {
    Level level;
    startPlaying(level);
    auto ring = makeBoxed<Collectable>("Ring0", kHere);
    level.world->addObject(ring);
    level.world->addObject(ring);
    EXPECT_EQ(level.frames(1, 0.1f), "Player collected: Ring0\n");
    EXPECT_EQ(level.world->getScore(), 1.0f);
    EXPECT_FALSE(level.holds(ring));
}

TEST(ContactRules, TheLastPlayerIsTestedAndTheFirstIsSteered) {
    Level level;
    auto first = makePlayer(kAway);
    auto last = makePlayer(kHere, "Second");
    level.world->addObject(first);
    // The countdown's frame moves the ring up or down by as much as its
    // 2.5 bob, with a phase from the process's random sequence; a box of
    // half extent 3 touches the player's wherever the bob has taken it.
    level.world->addObject(makeBoxed<Collectable>("Ring0", kHere, 3.0f));
    level.world->addObject(last);
    level.world->state = GameState::Countdown;
    level.world->countdown = 0.1f;

    EXPECT_EQ(level.frames(1, 0.1f), "");
    EXPECT_EQ(first->getSpeed(), 10.0f);
    EXPECT_EQ(last->getSpeed(), 0.0f);
    EXPECT_EQ(level.frames(1, 0.1f), "Player collected: Ring0\n");
}

TEST(ContactRules, ObjectsOfOtherKindsAndWithoutBoxesAreNotTested) {
    Level level;
    startPlaying(level);
    // A plain object and a ring without a collision box (no mesh).
    level.world->addObject(std::make_shared<Boxed<GameObject>>(
        1.0f, "Particles", kHere, glm::vec3(0.0f), glm::vec3(1.0f), nullptr, nullptr));
    level.world->addObject(std::make_shared<Collectable>("Bare", kHere, glm::vec3(0.0f),
                                                         glm::vec3(1.0f), nullptr, nullptr));
    EXPECT_EQ(level.frames(2, 0.1f), "");
    EXPECT_EQ(level.world->getScore(), 0.0f);
    EXPECT_EQ(level.world->state, GameState::Playing);
}

}  // namespace
