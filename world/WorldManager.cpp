#include "world/WorldManager.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>

#include "render/Camera.h"
#include "render/HeadsUpDisplay.h"
#include "world/BestRuns.h"
#include "world/Collectable.h"
#include "world/GameObject.h"
#include "world/GhostGlider.h"
#include "world/Goal.h"
#include "world/Obstacle.h"
#include "world/Physics.h"
#include "world/PlayableCharacter.h"
#include "world/Sound.h"
#include "world/TerrainObject.h"

namespace {

constexpr float kStartSpeed = 10.0f;
// A resumed flight is faster than the start.
constexpr float kResumeSpeed = 15.0f;
const std::string kPlayerName = "Player";
// The last seconds of a run, when each second ticks.
constexpr float kWarningSeconds = 10.0f;

}  // namespace

WorldManager::WorldManager(std::shared_ptr<Camera> camera, std::shared_ptr<HeadsUpDisplay> hud,
                           std::shared_ptr<DirectionalLight> directionalLight,
                           std::shared_ptr<PointLight> pointLight)
    : camera(std::move(camera)),
      hud(std::move(hud)),
      directionalLight(std::move(directionalLight)),
      pointLight(std::move(pointLight)),
      physics(std::make_shared<Physics>()),
      sound(std::make_shared<Sound>()) {
    // Room for the whole run and a little more, so recording never
    // allocates in flight.
    flightPath.reserve(timeLeft + 1.0f);
}

WorldManager::~WorldManager() = default;

void WorldManager::addObject(std::shared_ptr<GameObject> object) {
    objects.push_back(std::move(object));
}

void WorldManager::update(float deltaTime, int width, int height) {
    switch (state) {
        case GameState::Waiting:
            break;
        case GameState::Countdown:
            countdown = std::max(0.0f, countdown - deltaTime);
            if (countdown == 0.0f) {
                state = GameState::Playing;
                setPlayerSpeed(kStartSpeed);
            }
            if (camera) {
                camera->update(deltaTime);
            }
            physics->step(deltaTime);
            updateObjects(deltaTime);
            break;
        case GameState::Playing:
            if (paused) {
                break;
            }
            advanceClock(deltaTime);
            // The texts follow on the next frame, from the Lost state.
            if (timeLeft == 0.0f) {
                state = GameState::Lost;
            }
            physics->step(deltaTime);
            if (checkCollisions()) {
                endRun();
            }
            // Objects move after the contact test, so a frame's test sees
            // the previous frame's positions.
            if (camera) {
                camera->update(deltaTime);
            }
            updateObjects(deltaTime);
            followTheFlight();
            break;
        case GameState::Lost:
            endRun();
            followTheFlight();
            if (camera) {
                camera->update(deltaTime);
            }
            break;
        case GameState::Won:
            if (camera) {
                camera->update(deltaTime);
            }
            break;
    }
    if (hud) {
        hud->update(deltaTime, width, height, *this);
    }
    sound->update();
}

void WorldManager::advanceClock(float deltaTime) {
    const float before = timeLeft;
    timeLeft = std::max(0.0f, timeLeft - deltaTime);
    flightTime += deltaTime;
    // A tick as each of the last ten seconds begins: the timer's whole
    // seconds fell below ten, and the time is not up.
    const float shownNow = std::floor(timeLeft);
    if (shownNow < std::floor(before) && shownNow < kWarningSeconds && timeLeft > 0.0f) {
        sound->playTickSound();
    }
}

void WorldManager::followTheFlight() {
    const bool flying = state == GameState::Playing;
    if (flying) {
        if (const std::shared_ptr<PlayableCharacter> player = findPlayer()) {
            flightPath.record(flightTime, {player->getPosition(), player->getOrientation()});
        }
    }
    // The ghost flies while the run does; at the end it is gone.
    if (ghost) {
        ghost->follow(flying ? flightTime : -1.0f);
    }
}

void WorldManager::setGhost(std::shared_ptr<GhostGlider> glider) {
    if (ghost) {
        removeObject(ghost.get());
    }
    ghost = std::move(glider);
    if (ghost) {
        ghost->follow(-1.0f);
        objects.push_back(ghost);
    }
}

void WorldManager::toggleGhost() {
    if (ghost) {
        ghost->toggleShown();
    }
}

void WorldManager::updateObjects(float deltaTime) {
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i]->update(deltaTime);
    }
}

void WorldManager::setPlayerSpeed(float speed) {
    for (const auto& object : objects) {
        if (auto* player = dynamic_cast<PlayableCharacter*>(object.get())) {
            player->setSpeed(speed);
            return;
        }
    }
}

std::shared_ptr<PlayableCharacter> WorldManager::findPlayer() const {
    // The last one added, should there be more than one.
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        if (auto found = std::dynamic_pointer_cast<PlayableCharacter>(*it)) {
            return found;
        }
    }
    return nullptr;
}

void WorldManager::removeObject(const GameObject* object) {
    std::erase_if(objects, [object](const std::shared_ptr<GameObject>& entry) {
        return entry.get() == object;
    });
}

bool WorldManager::checkCollisions() {
    if (!physics) {
        std::cout << "Physics system is null" << std::endl;
        return false;
    }
    const std::shared_ptr<PlayableCharacter> player = findPlayer();
    if (!player) {
        return false;
    }

    // Rings and the player leave the list during the walk; the walk goes
    // over the list as it was when it began (the snapshot keeps its
    // capacity between frames), skipping what has left it since.
    walkSnapshot.assign(objects.begin(), objects.end());
    bool removedDuringWalk = false;
    bool endsRun = false;
    for (const auto& object : walkSnapshot) {
        if (removedDuringWalk &&
            std::find(objects.begin(), objects.end(), object) == objects.end()) {
            continue;
        }
        // The four kinds are distinct subclasses of GameObject; rings, by
        // far the most, are asked for first. Anything else (the player, the
        // particle emitter) is not tested.
        GameObject* target = object.get();
        const bool isRing = dynamic_cast<Collectable*>(target) != nullptr;
        const bool isObstacle = !isRing && dynamic_cast<Obstacle*>(target) != nullptr;
        const bool isTerrain =
            !isRing && !isObstacle && dynamic_cast<TerrainObject*>(target) != nullptr;
        const bool isGoal =
            !isRing && !isObstacle && !isTerrain && dynamic_cast<Goal*>(target) != nullptr;
        if (!isRing && !isObstacle && !isTerrain && !isGoal) {
            continue;
        }
        if (!player->checkCollision(target->getCollisionObject(), physics)) {
            continue;
        }
        if (isObstacle) {
            std::cout << "Player collided with obstacle: " << target->getName() << std::endl;
            sound->playCollideSound();
            endsRun = true;
            break;
        }
        if (isTerrain) {
            std::cout << "Player collided with " << target->getName() << std::endl;
            sound->playCollideSound();
            endsRun = true;
            break;
        }
        if (isRing) {
            std::cout << "Player collected: " << target->getName() << std::endl;
            sound->playCollectSound();
            removeObject(target);
            removedDuringWalk = true;
            score += 1.0f;
            continue;
        }
        // A goal does not end the walk: the mirror sphere inside the goal
        // repeats the win.
        std::cout << "Player finished the game!" << target->getName() << std::endl;
        sound->playWinSound();
        state = GameState::Won;
        finishRun();
        removedDuringWalk = true;
    }
    // Drop the snapshot's references so removed objects die now, not next frame.
    walkSnapshot.clear();
    return endsRun;
}

void WorldManager::finishRun() {
    std::erase_if(objects, [](const std::shared_ptr<GameObject>& object) {
        return object->getName() == kPlayerName;
    });
    if (hud) {
        hud->setTitle("WELL DONE!");
        hud->setSubtitle("POINTS: " + std::to_string(static_cast<int>(score)));
    }
    recordWin();
}

void WorldManager::recordWin() {
    if (!bestRuns) {
        return;
    }
    const int tenthsLeft = static_cast<int>(timeLeft * 10.0f);
    const int rank = bestRuns->add({static_cast<int>(score), tenthsLeft, todaysDate()});
    if (rank > 0) {
        bestRuns->save();
    }
    // The new best's path is the one the next runs race.
    if (rank == 1 && !bestRuns->folder().empty()) {
        flightPath.save(bestRuns->folder());
    }
    if (hud) {
        hud->record = rank == 1  ? "NEW BEST!"
                      : rank > 1 ? "RANK " + std::to_string(rank) + " OF THE BEST"
                                 : "";
        hud->bestRun = bestRunLine(bestRuns->runs());
    }
}

void WorldManager::endRun() {
    // Every entry named "Player"; after the first call there is none, so the
    // calls of later Lost frames change nothing.
    auto isPlayer = [](const std::shared_ptr<GameObject>& object) {
        return object->getName() == kPlayerName;
    };
    while (true) {
        auto it = std::find_if(objects.begin(), objects.end(), isPlayer);
        if (it == objects.end()) {
            return;
        }
        state = GameState::Lost;
        objects.erase(it);
        if (timeLeft == 0.0f) {
            if (hud) {
                hud->setTitle("TIME IS UP");
            }
            sound->stopAll();
            sound->playSadSound();
        } else if (hud) {
            hud->setTitle("GAME OVER");
        }
    }
}

void WorldManager::togglePause() {
    if (state != GameState::Playing) {
        return;
    }
    paused = !paused;
    if (paused) {
        setPlayerSpeed(0.0f);
        if (hud) {
            hud->setSubtitle("PAUSED");
        }
    } else {
        setPlayerSpeed(kResumeSpeed);
        if (hud) {
            hud->setSubtitle("");
        }
    }
}

void WorldManager::stopSounds() {
    sound->stopAll();
}
