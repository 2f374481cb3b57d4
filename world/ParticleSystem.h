#pragma once

#include <cstdint>
#include <memory>

#include "framework/GlName.h"
#include "world/GameObject.h"
#include "world/ParticleSimulation.h"

// The goal's spray of short-lived glowing particles, drawn as instanced
// spheres in one call after the opaque objects. The simulation runs on the
// CPU; this class streams its packed instance data into one buffer. Needs a
// current OpenGL context for construction, update and draw.
class ParticleSystem : public GameObject {
  public:
    ParticleSystem(std::string name, uint64_t maxParticles, std::shared_ptr<Material> material);
    ~ParticleSystem() override;

    // Spawns, ages, moves and re-packs the particles, then uploads them.
    void update(float deltaTime) override;
    // Draws the live particles with blending and without depth writes; the
    // lights are not used.
    bool isTranslucent() const override { return true; }
    void draw(std::shared_ptr<Camera> camera, std::shared_ptr<DirectionalLight> directionalLight,
              std::shared_ptr<PointLight> pointLight) override;

    // Particles per second.
    void setSpawnRate(float rate) { simulation.spawnRate = rate; }
    float getSpawnRate() const { return simulation.spawnRate; }
    uint64_t getLiveCount() const { return simulation.getLiveCount(); }
    const ParticleSimulation& getSimulation() const { return simulation; }
    // Triangles of each particle's sphere drawn when the emitter is this far
    // from the eye: far away a particle covers a pixel or two and a coarser
    // sphere looks the same.
    uint32_t detailIndexCount(float eyeDistance) const;

  private:
    static int levelFor(float eyeDistance);

    ParticleSimulation simulation;
    GlVertexArray vao;
    GlBuffer positionBuffer;
    GlBuffer indexBuffer;
    GlBuffer instanceBuffer;
    // The sphere's index lists, full detail first, then coarser, one after
    // another in the index buffer.
    uint32_t detailFirstIndex[3] = {0, 0, 0};
    uint32_t detailIndexCounts[3] = {0, 0, 0};
};
