#include "world/ParticleSimulation.h"

#include <cmath>

#include "world/GameRandom.h"

namespace {

constexpr float kSpawnRadius = 0.4f;

}  // namespace

ParticleSimulation::ParticleSimulation(std::size_t maxParticles)
    : particles(maxParticles),
      instancePositions(maxParticles, glm::vec4(0.0f)),
      instanceColours(maxParticles, glm::vec4(0.0f)) {}

std::size_t ParticleSimulation::update(float deltaTime, const glm::vec3& emitter) {
    spawnTimer += deltaTime;
    // A rate of zero, below zero or not a number spawns nothing (and must
    // not spin the loop below forever).
    if (spawnRate > 0.0f) {
        const float interval = 1.0f / spawnRate;
        // The timer keeps its remainder, so a long frame gives several births.
        // A full pool skips the births it cannot place; nothing dies before
        // the ageing below, so once one search fails the rest would too.
        bool poolFull = false;
        while (spawnTimer >= interval) {
            if (!poolFull) {
                poolFull = !spawnOne(emitter);
            }
            const float remainder = spawnTimer - interval;
            if (remainder == spawnTimer) {
                // An absurdly long frame: the interval is below the timer's
                // precision and subtracting it changes nothing.
                spawnTimer = 0.0f;
                break;
            }
            spawnTimer = remainder;
        }
    }

    std::size_t live = 0;
    for (Particle& particle : particles) {
        particle.life -= deltaTime;
        if (particle.life > 0.0f) {
            particle.position += particle.velocity * deltaTime;
            instancePositions[live] = glm::vec4(particle.position, particle.size);
            instanceColours[live] =
                glm::vec4(glm::vec3(particle.colour), particle.life / particle.maxLife);
            ++live;
        }
    }
    liveCount = live;
    return live;
}

bool ParticleSimulation::spawnOne(const glm::vec3& emitter) {
    const std::size_t count = particles.size();
    for (std::size_t i = lastUsed; i < count; ++i) {
        if (particles[i].life <= 0.0f) {
            lastUsed = i;
            respawn(particles[i], emitter);
            return true;
        }
    }
    for (std::size_t i = 0; i < lastUsed; ++i) {
        if (particles[i].life <= 0.0f) {
            lastUsed = i;
            respawn(particles[i], emitter);
            return true;
        }
    }
    return false;
}

void ParticleSimulation::respawn(Particle& particle, const glm::vec3& emitter) {
    // A uniform point in the ball; the centre itself is drawn again because
    // it has no outward direction to fly in.
    glm::vec3 offset;
    float length;
    do {
        float u1;
        float u2;
        float u3;
        GameRandom::randomUnitTriple(u1, u2, u3);
        offset = glm::vec3(0.8f * u1 - 0.4f, 0.8f * u2 - 0.4f, 0.8f * u3 - 0.4f);
        length = glm::length(offset);
    } while (length > kSpawnRadius || length == 0.0f);

    particle.position = emitter + offset;
    const float speed = GameRandom::randomFloat(0.4f, 2.5f);
    particle.velocity = offset / length * speed;
    particle.life = GameRandom::randomFloat(1.0f, 3.0f);
    particle.maxLife = particle.life;
    particle.colour = glm::vec4(1.0f);
    particle.size = GameRandom::randomFloat(0.1f, 0.5f);
}
