#pragma once

#include <memory>

class btCollisionObject;
class btDefaultCollisionConfiguration;
class btCollisionDispatcher;
class btBroadphaseInterface;
class btSequentialImpulseConstraintSolver;
class btDiscreteDynamicsWorld;

// Collision detection over Bullet: answers whether two collision objects
// touch. No rigid bodies, no response.
class Physics {
public:
    Physics();
    ~Physics();

    Physics(const Physics&) = delete;
    Physics& operator=(const Physics&) = delete;

    // Prints "Invalid collision object." (no line end) for an empty handle.
    bool checkForCollision(std::shared_ptr<btCollisionObject> a, std::shared_ptr<btCollisionObject> b);
    void step(float deltaTime);
    std::shared_ptr<btDiscreteDynamicsWorld> getDynamicsWorld() const { return dynamicsWorld; }

private:
    // Declared in construction order; destroyed in reverse.
    std::shared_ptr<btDefaultCollisionConfiguration> collisionConfiguration;
    std::shared_ptr<btCollisionDispatcher> dispatcher;
    std::shared_ptr<btBroadphaseInterface> broadphase;
    std::shared_ptr<btSequentialImpulseConstraintSolver> solver;
    std::shared_ptr<btDiscreteDynamicsWorld> dynamicsWorld;
};
