#pragma once

#include <memory>
#include <string>

#include <glm/glm.hpp>

#include "app/Scene.h"

class GameObject;

// Plays the shipped level the way the run loop does, but with fixed frame
// times and keys held or released through the input module's seam, so no
// result depends on the wall clock or on the speed of the machine.
namespace integration_test {

// The level built from the real assets with the game's start-up values.
// What the assembly printed goes to printed when given.
Scene buildLevel(std::string* printed = nullptr);

class LevelDriver {
  public:
    explicit LevelDriver(Scene scene);
    ~LevelDriver();

    LevelDriver(const LevelDriver&) = delete;
    LevelDriver& operator=(const LevelDriver&) = delete;

    // Runs count frames of dt seconds; returns what they printed, without
    // the HUD's once-a-second FPS lines.
    std::string frames(int count, float dt);
    // Runs frames of dt seconds until done() holds or limit frames ran;
    // returns the output as frames() does.
    template <class Done>
    std::string framesUntil(Done done, int limit, float dt) {
        std::string printed;
        for (int i = 0; i < limit && !done(); ++i) {
            printed += frames(1, dt);
        }
        return printed;
    }

    // Space let go, handled by the next frame (which runs with dt).
    std::string releaseSpace(float dt);
    // Space, then frames until the countdown has handed over to the flight.
    std::string startFlight(float dt);

    // Holds the steering keys that turn the player towards target for the
    // next frame, and lets go of the others: the player steered by hand.
    void steerTowards(const glm::vec3& target);

    bool holds(const std::shared_ptr<GameObject>& object) const;

    Scene scene;
    bool restart = false;
};

}  // namespace integration_test
