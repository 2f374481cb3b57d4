#pragma once

#include <memory>
#include <vector>

#include "world/GameState.h"
#include "world/GhostFlight.h"

class BestRuns;
class Camera;
class GameObject;
class GhostGlider;
class HeadsUpDisplay;
class Physics;
class PlayableCharacter;
class RenderPipeline;
class Skybox;
class Sound;
struct DirectionalLight;
struct PointLight;

// Holds the level and runs its rules: the object list, the active camera,
// the lights, the HUD, the sky, the physics world and the sound player, and
// the state machine Waiting -> Countdown -> Playing -> Lost / Won.
class WorldManager {
  public:
    WorldManager(std::shared_ptr<Camera> camera, std::shared_ptr<HeadsUpDisplay> hud,
                 std::shared_ptr<DirectionalLight> directionalLight,
                 std::shared_ptr<PointLight> pointLight);
    ~WorldManager();

    WorldManager(const WorldManager&) = delete;
    WorldManager& operator=(const WorldManager&) = delete;

    void addObject(std::shared_ptr<GameObject> object);
    // The list in the order objects were added (collected rings and a
    // finished player are gone from it).
    const std::vector<std::shared_ptr<GameObject>>& getObjects() const { return objects; }

    std::shared_ptr<Camera> getCamera() const { return camera; }
    void setCamera(std::shared_ptr<Camera> newCamera) { camera = std::move(newCamera); }
    std::shared_ptr<HeadsUpDisplay> getHud() const { return hud; }
    std::shared_ptr<DirectionalLight> getDirectionalLight() const { return directionalLight; }
    std::shared_ptr<PointLight> getPointLight() const { return pointLight; }
    std::shared_ptr<Skybox> getSkybox() const { return skybox; }
    void setSkybox(std::shared_ptr<Skybox> newSkybox) { skybox = std::move(newSkybox); }
    std::shared_ptr<RenderPipeline> getRenderPipeline() const { return renderPipeline; }
    void setRenderPipeline(std::shared_ptr<RenderPipeline> pipeline) {
        renderPipeline = std::move(pipeline);
    }
    // The best runs a won run joins (saved at once, with the flight's path
    // when it is the new best); none: nothing kept.
    void setBestRuns(std::shared_ptr<BestRuns> records) { bestRuns = std::move(records); }
    // The ghost that flies the best flight in step with this run's clock;
    // added to the objects to be drawn.
    void setGhost(std::shared_ptr<GhostGlider> glider);
    const std::shared_ptr<GhostGlider>& getGhost() const { return ghost; }
    // G: shows or hides the ghost.
    void toggleGhost();
    // This run's path so far, sampled from the end of the countdown.
    const GhostFlight& getFlightPath() const { return flightPath; }
    std::shared_ptr<Physics> getPhysics() const { return physics; }
    std::shared_ptr<Sound> getSound() const { return sound; }
    float getScore() const { return score; }
    bool isPaused() const { return paused; }

    // Once per frame in every state; the frame loop passes 1080 and 720.
    void update(float deltaTime, int width, int height);
    void togglePause();

    // Tests the player against every obstacle, terrain, ring and goal;
    // true when the run must end (obstacle or terrain touched).
    bool checkCollisions();

    // Stops this run's sounds (the finished run's music must not play on
    // under the next run's).
    void stopSounds();

    // Read and written by the frame loop's key handling and read by the HUD.
    float timeLeft = 120.0f;
    GameState state = GameState::Waiting;
    float countdown = 0.0f;
    // Seconds flown since the countdown ended; stands while paused.
    float flightTime = 0.0f;

  private:
    void setPlayerSpeed(float speed);
    void finishRun();
    void recordWin();
    void endRun();
    void updateObjects(float deltaTime);
    void followTheFlight();
    void advanceClock(float deltaTime);
    void removeObject(const GameObject* object);
    std::shared_ptr<PlayableCharacter> findPlayer() const;

    std::shared_ptr<RenderPipeline> renderPipeline;
    std::shared_ptr<Skybox> skybox;
    std::shared_ptr<Camera> camera;
    std::shared_ptr<HeadsUpDisplay> hud;
    std::shared_ptr<DirectionalLight> directionalLight;
    std::shared_ptr<PointLight> pointLight;
    std::vector<std::shared_ptr<GameObject>> objects;
    std::shared_ptr<Physics> physics;
    std::shared_ptr<Sound> sound;
    std::shared_ptr<BestRuns> bestRuns;
    std::shared_ptr<GhostGlider> ghost;
    GhostFlight flightPath;
    bool paused = false;
    float score = 0.0f;

    // Reused between frames so the contact walk does not allocate.
    std::vector<std::shared_ptr<GameObject>> walkSnapshot;
};
