#pragma once

#include <memory>

class btCollisionObject;
class btCollisionShape;
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
    bool checkForCollision(const std::shared_ptr<btCollisionObject>& a,
                           const std::shared_ptr<btCollisionObject>& b);
    void step(float deltaTime);
    std::shared_ptr<btDiscreteDynamicsWorld> getDynamicsWorld() const { return dynamicsWorld; }

  private:
    bool boundsTooFarApart(const btCollisionObject& a, const btCollisionObject& b);
    float firstShapeTolerance(const btCollisionShape& shape);

    // The first shape's share of the shortcut's tolerance, kept while the
    // shape's size stays the same: a contact walk asks about the player's box
    // against every object in turn.
    struct ShapeTolerance {
        const btCollisionShape* shape = nullptr;
        float scaling[3] = {0.0f, 0.0f, 0.0f};
        float dimensions[3] = {0.0f, 0.0f, 0.0f};
        float margin = 0.0f;
        float tolerance = 0.0f;
    };
    ShapeTolerance firstShape;

    // Declared in construction order; destroyed in reverse.
    std::shared_ptr<btDefaultCollisionConfiguration> collisionConfiguration;
    std::shared_ptr<btCollisionDispatcher> dispatcher;
    std::shared_ptr<btBroadphaseInterface> broadphase;
    std::shared_ptr<btSequentialImpulseConstraintSolver> solver;
    std::shared_ptr<btDiscreteDynamicsWorld> dynamicsWorld;
};
