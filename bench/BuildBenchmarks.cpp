// What a level build costs: the height-map terrain, the rings, the mesh
// builders, and the whole scene assembly.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "BenchContext.h"
#include "render/Geometry.h"
#include "render/MeshBuilders.h"
#include "world/Collectable.h"
#include "world/GameRandom.h"
#include "world/HeightmapTerrain.h"
#include "world/RingGenerator.h"
#include "world/WorldManager.h"

namespace {

const char* const kHeightmap = "../assets/textures/Heightmaps/Heightmap3.png";

// The game's call: decode the PNG and build 66049 vertices and 131072
// triangles with smoothed normals.
void terrainBuild(benchmark::State& state) {
    size_t vertices = 0;
    for (auto _ : state) {
        bench::QuietStdout quiet;
        const MeshData mesh = makeHeightmapTerrain(1000.0f, 100.0f, kHeightmap);
        vertices = mesh.positions.size();
        benchmark::DoNotOptimize(mesh.indices.data());
    }
    if (vertices == 0) {
        state.SkipWithError("height map not found: run from the build directory");
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(terrainBuild)->Unit(benchmark::kMillisecond);

// The mesh maths alone, on samples already in memory (a 257 by 257 field of
// gentle hills).
void terrainMesh(benchmark::State& state) {
    const int side = 257;
    std::vector<uint8_t> samples(static_cast<size_t>(side * side));
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            samples[static_cast<size_t>(r * side + c)] =
                static_cast<uint8_t>((r * 7 + c * 3) % 256);
        }
    }
    for (auto _ : state) {
        const MeshData mesh = buildHeightmapMesh(samples.data(), side, side, 1000.0f, 100.0f);
        benchmark::DoNotOptimize(mesh.normals.data());
    }
}
BENCHMARK(terrainMesh)->Unit(benchmark::kMillisecond);

// The level's hundred rings in six clusters, each with its collision box.
void ringGeneration(benchmark::State& state) {
    if (bench::glContext() == nullptr) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    auto ringMesh = std::make_shared<Geometry>(glm::mat4(1.5f), makeTorus(1.0f), nullptr, 3);
    GameRandom::reseedEngine(20240611);
    for (auto _ : state) {
        auto rings =
            generateRings(100, glm::vec3(-170.0f, 7.0f, -500.0f), glm::vec3(-30.0f, 45.0f, -200.0f),
                          6, 0.8f, 10.0f, 4.0f, ringMesh, nullptr);
        benchmark::DoNotOptimize(rings.data());
    }
}
BENCHMARK(ringGeneration)->Unit(benchmark::kMicrosecond);

void makeTorusMesh(benchmark::State& state) {
    for (auto _ : state) {
        const MeshData mesh = makeTorus(1.0f);
        benchmark::DoNotOptimize(mesh.positions.data());
    }
}
BENCHMARK(makeTorusMesh)->Unit(benchmark::kMicrosecond);

// The mirror's sphere (32 stacks, 64 slices) and the particles' (8 by 12).
void makeSphereMesh(benchmark::State& state) {
    const auto stacks = static_cast<uint32_t>(state.range(0));
    const auto slices = static_cast<uint32_t>(state.range(1));
    for (auto _ : state) {
        const MeshData mesh = makeSphere(stacks, slices, 0.5f);
        benchmark::DoNotOptimize(mesh.positions.data());
    }
}
BENCHMARK(makeSphereMesh)->Args({32, 64})->Args({8, 12})->Unit(benchmark::kMicrosecond);

// The water's 50 by 50 grid.
void makeGridMesh(benchmark::State& state) {
    for (auto _ : state) {
        const MeshData mesh = makeGrid(1000.0f, 50);
        benchmark::DoNotOptimize(mesh.positions.data());
    }
}
BENCHMARK(makeGridMesh)->Unit(benchmark::kMicrosecond);

// The whole level as a run builds it: programs, textures, models, sky,
// terrain, rings, HUD, world manager and render pipeline; the previous
// level is released inside the measured time, as at a restart.
void sceneAssembly(benchmark::State& state) {
    if (bench::glContext() == nullptr) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    Scene scene;
    for (auto _ : state) {
        scene = Scene{};
        scene = bench::playingLevel();
    }
    state.counters["objects"] = scene.worldManager != nullptr
                                    ? static_cast<double>(scene.worldManager->getObjects().size())
                                    : 0.0;
}
BENCHMARK(sceneAssembly)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
