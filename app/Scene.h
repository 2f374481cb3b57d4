#pragma once

#include <memory>
#include <vector>

class DebugCamera;
class GhostGlider;
class PlayableCharacter;
class RenderPipeline;
class Shader;
class ThirdPersonCamera;
class WaterMaterial;
class WorldManager;

// What one run owns. Dropped at the end of the run; the next run builds a
// new one from the asset files.
struct Scene {
    std::shared_ptr<WorldManager> worldManager;
    std::shared_ptr<WaterMaterial> waterMaterial;
    std::shared_ptr<PlayableCharacter> player;
    std::shared_ptr<DebugCamera> debugCamera;
    std::shared_ptr<ThirdPersonCamera> thirdPersonCamera;
    std::shared_ptr<RenderPipeline> renderPipeline;
    // The best flight's ghost, made with the level and given to the world
    // when there is a flight to race.
    std::shared_ptr<GhostGlider> ghost;
    // The scene's programs, held so they live as long as the scene.
    std::vector<std::shared_ptr<Shader>> shaders;
};
