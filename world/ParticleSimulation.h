#pragma once

#include <cstddef>
#include <vector>

#include <glm/glm.hpp>

// One spray particle; dead when life is 0 or less.
struct Particle {
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f};
    float life = 0.0f;
    float maxLife = 0.0f;
    float size = 1.0f;
    glm::vec4 colour{0.0f};
};

// The CPU side of the particle spray: a fixed pool of particles, spawning
// paced by the clock, straight-line flight and the packing of the live ones
// into the two instance arrays the GPU side uploads. Every array is sized at
// construction; update never allocates.
class ParticleSimulation {
  public:
    explicit ParticleSimulation(std::size_t maxParticles);

    // Spawns at the emitter as the accumulated time allows, ages and moves
    // every particle and packs the live ones; returns the live count.
    std::size_t update(float deltaTime, const glm::vec3& emitter);

    std::size_t getMaxParticles() const { return particles.size(); }
    std::size_t getLiveCount() const { return liveCount; }
    std::size_t getLastUsed() const { return lastUsed; }
    float getSpawnTimer() const { return spawnTimer; }
    const std::vector<Particle>& getParticles() const { return particles; }

    // (x, y, z, size) and (r, g, b, life fraction) of the live particles;
    // only the first getLiveCount() entries are valid.
    const std::vector<glm::vec4>& getInstancePositions() const { return instancePositions; }
    const std::vector<glm::vec4>& getInstanceColours() const { return instanceColours; }

    // Particles per second; zero or less spawns nothing.
    float spawnRate = 50.0f;

  private:
    // False when every particle is alive.
    bool spawnOne(const glm::vec3& emitter);
    void respawn(Particle& particle, const glm::vec3& emitter);

    std::vector<Particle> particles;
    std::size_t liveCount = 0;
    std::size_t lastUsed = 0;
    std::vector<glm::vec4> instancePositions;
    std::vector<glm::vec4> instanceColours;
    float spawnTimer = 0.0f;
};
