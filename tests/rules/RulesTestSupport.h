#pragma once

#include <memory>
#include <string>

#include <btBulletDynamicsCommon.h>
#include <glm/glm.hpp>

#include "render/Camera.h"
#include "render/HeadsUpDisplay.h"
#include "world/PlayableCharacter.h"
#include "world/Sound.h"
#include "world/WorldManager.h"

// The rules run here without a window: objects get collision boxes set up
// directly instead of from a mesh, the HUD has no textures, and every frame
// has a fixed length.
namespace rules_test {

class TestCamera : public Camera {
  public:
    TestCamera() : Camera(glm::vec3(0.0f), 45.0f, 1.5f, 0.1f, 1000.0f, -90.0f, 0.0f) {}
    glm::mat4 getViewMatrix() const override { return view; }
    void update(float dt) override {
        ++updates;
        Camera::update(dt);
    }
    int updates = 0;
};

// A game object of class Kind with a cube collision box of the given half
// extent around its position, as a mesh would have given it.
template <class Kind>
class Boxed : public Kind {
  public:
    template <class... Args>
    explicit Boxed(float halfExtent, Args&&... args) : Kind(std::forward<Args>(args)...) {
        this->collisionShape =
            std::make_shared<btBoxShape>(btVector3(halfExtent, halfExtent, halfExtent));
        this->collisionObject = std::make_shared<btCollisionObject>();
        this->collisionObject->setCollisionShape(this->collisionShape.get());
        this->GameObject::update(0.0f);
    }
};

// Obstacle, Collectable or Goal named name at position.
template <class Kind>
std::shared_ptr<Kind> makeBoxed(const std::string& name, const glm::vec3& position,
                                float halfExtent = 1.0f) {
    return std::make_shared<Boxed<Kind>>(halfExtent, name, position, glm::vec3(0.0f),
                                         glm::vec3(1.0f), nullptr, nullptr);
}

// Flies along -z; speed 0 until the rules set one.
std::shared_ptr<PlayableCharacter> makePlayer(const glm::vec3& position,
                                              const std::string& name = "Player");

struct Level {
    Level();

    // Runs count frames of dt seconds at 1080 by 720 and returns what they
    // printed to standard output, without the HUD's once-a-second FPS lines.
    std::string frames(int count, float dt);
    int cues(Sound::Cue cue) const { return world->getSound()->getCueCount(cue); }
    bool holds(const std::shared_ptr<GameObject>& object) const;

    std::shared_ptr<TestCamera> camera = std::make_shared<TestCamera>();
    std::shared_ptr<HeadsUpDisplay> hud = std::make_shared<HeadsUpDisplay>();
    std::shared_ptr<WorldManager> world;
};

}  // namespace rules_test
