#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "world/GameRandom.h"
#include "world/ParticleSimulation.h"

namespace {

const glm::vec3 kEmitter(10.0f, -5.0f, 3.0f);

std::size_t countLiving(const ParticleSimulation& simulation) {
    std::size_t n = 0;
    for (const Particle& particle : simulation.getParticles()) {
        n += particle.life > 0.0f ? 1 : 0;
    }
    return n;
}

TEST(ParticleSimulationTest, FreshPoolIsAllDeadAndZeroFilled) {
    ParticleSimulation simulation(16);
    EXPECT_EQ(simulation.getMaxParticles(), 16u);
    EXPECT_EQ(simulation.getLiveCount(), 0u);
    EXPECT_EQ(simulation.spawnRate, 50.0f);
    for (const Particle& particle : simulation.getParticles()) {
        EXPECT_EQ(particle.life, 0.0f);
        EXPECT_EQ(particle.size, 1.0f);
    }
    EXPECT_EQ(simulation.getInstancePositions().size(), 16u);
    EXPECT_EQ(simulation.getInstanceColours()[15], glm::vec4(0.0f));

    // Less than one interval spawns nothing.
    EXPECT_EQ(simulation.update(0.019f, kEmitter), 0u);
    EXPECT_EQ(simulation.update(0.002f, kEmitter), 1u);
}

TEST(ParticleSimulationTest, SpawningIsPacedByTheClock) {
    ParticleSimulation simulation(1024);
    simulation.spawnRate = 120.0f;
    EXPECT_EQ(simulation.update(0.05f, kEmitter), 6u);
    EXPECT_NEAR(simulation.getSpawnTimer(), 0.0f, 1e-6f);

    // A zero step spawns nothing and moves nothing but packs the live ones again.
    const std::vector<glm::vec4> before(simulation.getInstancePositions().begin(),
                                        simulation.getInstancePositions().begin() + 6);
    EXPECT_EQ(simulation.update(0.0f, kEmitter), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(simulation.getInstancePositions()[i], before[i]);
    }

    // A long frame gives several births at once and keeps the remainder.
    EXPECT_EQ(simulation.update(0.1f, kEmitter), 18u);
    EXPECT_EQ(countLiving(simulation), 18u);
}

TEST(ParticleSimulationTest, RespawnPlacesParticlesAroundTheEmitter) {
    std::srand(3);
    ParticleSimulation simulation(512);
    simulation.spawnRate = 1000.0f;
    simulation.update(0.5f, kEmitter);
    ASSERT_EQ(countLiving(simulation), 500u);
    for (const Particle& particle : simulation.getParticles()) {
        if (particle.life <= 0.0f) {
            continue;
        }
        EXPECT_EQ(particle.colour, glm::vec4(1.0f));
        EXPECT_GE(particle.maxLife, 1.0f);
        EXPECT_LE(particle.maxLife, 3.0f);
        EXPECT_GE(particle.size, 0.1f);
        EXPECT_LE(particle.size, 0.5f);
        const float speed = glm::length(particle.velocity);
        EXPECT_GE(speed, 0.4f - 1e-5f);
        EXPECT_LE(speed, 2.5f + 1e-5f);
        // Flying straight outwards from the emitter, from within 0.4 of it.
        const glm::vec3 fromEmitter = particle.position - kEmitter;
        const float age = particle.maxLife - particle.life;
        EXPECT_LE(glm::length(fromEmitter - particle.velocity * age), 0.4f + 1e-4f);
        EXPECT_GT(glm::dot(glm::normalize(fromEmitter), particle.velocity / speed), 0.999f);
    }
}

TEST(ParticleSimulationTest, InstanceDataFollowsLiveParticlesAndFades) {
    ParticleSimulation simulation(8);
    simulation.spawnRate = 10.0f;
    simulation.update(0.1f, kEmitter);
    const Particle& particle = simulation.getParticles()[0];
    ASSERT_GT(particle.life, 0.0f);
    simulation.update(0.05f, kEmitter);
    EXPECT_EQ(simulation.getInstancePositions()[0], glm::vec4(particle.position, particle.size));
    EXPECT_FLOAT_EQ(simulation.getInstanceColours()[0].a, particle.life / particle.maxLife);
    EXPECT_EQ(glm::vec3(simulation.getInstanceColours()[0]), glm::vec3(1.0f));
    EXPECT_LT(simulation.getInstanceColours()[0].a, 1.0f);
}

TEST(ParticleSimulationTest, DeadParticleIsHiddenAtOnceAndReused) {
    // One slot: births while it lives are skipped.
    ParticleSimulation simulation(1);
    simulation.spawnRate = 10.0f;
    simulation.update(0.1f, kEmitter);
    const float lifeLeft = simulation.getParticles()[0].life;
    ASSERT_GT(lifeLeft, 0.5f);

    // Age it until 0.01 s is left, then step past its end.
    EXPECT_EQ(simulation.update(lifeLeft - 0.01f, kEmitter), 1u);
    EXPECT_NEAR(simulation.getParticles()[0].life, 0.01f, 1e-5f);
    EXPECT_EQ(simulation.update(0.02f, kEmitter), 0u);
    EXPECT_EQ(simulation.getLiveCount(), 0u);

    // The next birth takes the freed slot.
    EXPECT_EQ(simulation.update(0.1f, kEmitter), 1u);
    EXPECT_GT(simulation.getParticles()[0].life, 0.9f);
}

TEST(ParticleSimulationTest, FullPoolSkipsBirthsAndSearchWrapsAround) {
    ParticleSimulation simulation(3);
    simulation.spawnRate = 100.0f;
    EXPECT_EQ(simulation.update(0.1f, kEmitter), 3u);  // ten births due, three slots
    EXPECT_EQ(simulation.getLastUsed(), 2u);
    EXPECT_NEAR(simulation.getSpawnTimer(), 0.0f, 1e-5f);
    EXPECT_EQ(simulation.update(0.05f, kEmitter), 3u);
    EXPECT_EQ(simulation.getLastUsed(), 2u);
}

TEST(ParticleSimulationTest, UnusableRatesAndHugeFramesEndTheSpawnLoop) {
    ParticleSimulation simulation(4);
    for (float rate : {0.0f, -5.0f, std::nanf("")}) {
        simulation.spawnRate = rate;
        EXPECT_EQ(simulation.update(1.0f, kEmitter), 0u);
    }
    // A frame of eleven days at 120 per second: the pool fills and the timer
    // stops far below a second.
    simulation.spawnRate = 120.0f;
    EXPECT_EQ(simulation.update(1.0e6f, kEmitter), 0u);  // born and aged past their lives
    EXPECT_LT(simulation.getSpawnTimer(), 1.0f);
    EXPECT_EQ(simulation.update(0.02f, kEmitter), 2u);
}

TEST(ParticleSimulationTest, SameFrameTimesGiveTheSameSprayOnEveryStart) {
    auto run = [] {
        std::srand(1);
        ParticleSimulation simulation(64);
        simulation.spawnRate = 120.0f;
        for (float dt : {0.016f, 0.033f, 0.05f, 0.0f, 0.2f}) {
            simulation.update(dt, kEmitter);
        }
        return std::vector<glm::vec4>(simulation.getInstancePositions().begin(),
                                      simulation.getInstancePositions().begin() +
                                          static_cast<std::ptrdiff_t>(simulation.getLiveCount()));
    };
    const auto first = run();
    const auto second = run();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second);
}

TEST(GameRandomTest, RandBytesAndFloatsFollowTheByteOrder) {
    std::srand(5);
    std::vector<int> bytes;
    for (int i = 0; i < 16; ++i) {
        bytes.push_back(std::rand() % 255);
    }
    std::srand(5);
    const float value = GameRandom::randomFloat(1.0f, 3.0f);
    const double bits = static_cast<double>(bytes[3]) * 16777216.0 + bytes[2] * 65536.0 +
                        bytes[1] * 256.0 + bytes[0];
    EXPECT_NEAR(value, bits / 4294967296.0 * 2.0 + 1.0, 1e-6);

    std::srand(5);
    float u1;
    float u2;
    float u3;
    GameRandom::randomUnitTriple(u1, u2, u3);
    // Each group of six bytes c1..c6 gives c6c3, c5c2 and c4c1; the first
    // group is the low half.
    auto unit = [&](int highByte, int lowByte) {
        const double low16 = bytes[highByte] * 256.0 + bytes[lowByte];
        const double high16 = bytes[6 + highByte] * 256.0 + bytes[6 + lowByte];
        return (high16 * 65536.0 + low16) / 4294967296.0;
    };
    EXPECT_NEAR(u1, unit(5, 2), 1e-7);
    EXPECT_NEAR(u2, unit(4, 1), 1e-7);
    EXPECT_NEAR(u3, unit(3, 0), 1e-7);
    EXPECT_LT(u1, 1.0f);
}

}  // namespace
