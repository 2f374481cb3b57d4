// The world's per-frame work: a whole update of the assembled level in the
// Playing state, one contact test, and the particle simulation.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "BenchContext.h"
#include "render/Geometry.h"
#include "render/MeshBuilders.h"
#include "world/Collectable.h"
#include "world/ParticleSimulation.h"
#include "world/Physics.h"
#include "world/PlayableCharacter.h"
#include "world/WorldManager.h"

namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;

// One frame of the level in flight: timer, physics step, the contact walk
// over all 106 objects, camera, every object's update (the player's flight,
// the rings' bobbing, 240 particles and their upload) and the HUD. The
// player is put back at the start after each frame, so every frame tests
// the same contacts and nothing is collected or hit.
void worldUpdatePlaying(benchmark::State& state) {
    if (bench::glContext() == nullptr) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    Scene scene = bench::playingLevel();
    WorldManager& world = *scene.worldManager;
    const glm::vec3 start = scene.player->getPosition();
    // The HUD prints the frame rate once a simulated second.
    bench::QuietStdout quiet;
    // Two seconds of flight fill the particle spray to its steady count.
    for (int i = 0; i < 120; ++i) {
        world.update(kFrameSeconds, 1080, 720);
        scene.player->setPosition(start);
    }
    // With argument 1 the caches are cold for every update, as in the game.
    bench::CacheSweep sweep(state.range(0) != 0);
    for (auto _ : state) {
        sweep.evict(state);
        world.update(kFrameSeconds, 1080, 720);
        scene.player->setPosition(start);
        world.timeLeft = 120.0f;
    }
    state.counters["objects"] = static_cast<double>(world.getObjects().size());
    state.counters["playing"] = world.state == GameState::Playing ? 1 : 0;
}
BENCHMARK(worldUpdatePlaying)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"coldCaches"})
    ->Unit(benchmark::kMicrosecond);

// The contact walk alone: the player against all 105 other objects, most
// answered by the bounding-box shortcut.
void contactWalk(benchmark::State& state) {
    if (bench::glContext() == nullptr) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    Scene scene = bench::playingLevel();
    WorldManager& world = *scene.worldManager;
    world.update(kFrameSeconds, 1080, 720);
    bench::CacheSweep sweep(state.range(0) != 0);
    bool ended = false;
    for (auto _ : state) {
        sweep.evict(state);
        ended = world.checkCollisions();
        benchmark::DoNotOptimize(ended);
    }
    state.counters["objects"] = static_cast<double>(world.getObjects().size());
}
BENCHMARK(contactWalk)->Arg(0)->Arg(1)->ArgNames({"coldCaches"})->Unit(benchmark::kMicrosecond);

// The player's box against one ring's: apart (the bounding-box shortcut
// answers) and overlapping (Bullet's pair test runs).
void contactTest(benchmark::State& state) {
    if (bench::glContext() == nullptr) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    const bool touching = state.range(0) != 0;
    auto ringMesh = std::make_shared<Geometry>(glm::mat4(1.0f), makeTorus(1.0f), nullptr, 3);
    auto physics = std::make_shared<Physics>();
    PlayableCharacter player("Player", glm::vec3(0.0f), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0),
                             glm::vec3(1, 0, 0), glm::vec3(0.0f), glm::vec3(1.0f), ringMesh,
                             nullptr);
    Collectable ring("Ring_0", glm::vec3(0.0f, 0.0f, touching ? -0.5f : -40.0f),
                     glm::vec3(0.0f, 0.3f, 0.0f), glm::vec3(1.5f), ringMesh, nullptr);
    player.update(0.0f);
    ring.update(0.0f);
    const auto other = ring.getCollisionObject();
    bool contact = false;
    for (auto _ : state) {
        contact = player.checkCollision(other, physics);
        benchmark::DoNotOptimize(contact);
    }
    state.counters["contact"] = contact ? 1 : 0;
}
BENCHMARK(contactTest)->Arg(0)->Arg(1)->ArgNames({"touching"})->Unit(benchmark::kNanosecond);

// The spray's CPU update at the game's 120 spawns per second, with about
// 240 particles alive: spawning, ageing, moving and packing.
void particleUpdate(benchmark::State& state) {
    ParticleSimulation simulation(1024);
    simulation.spawnRate = 120.0f;
    const glm::vec3 emitter(-100.0f, 0.0f, -450.0f);
    for (int i = 0; i < 300; ++i) {
        simulation.update(kFrameSeconds, emitter);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(simulation.update(kFrameSeconds, emitter));
    }
    state.counters["live"] = static_cast<double>(simulation.getLiveCount());
}
BENCHMARK(particleUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
