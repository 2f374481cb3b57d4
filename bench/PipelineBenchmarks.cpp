// The render pipeline's passes alone (clear, extract, three blurs, blend)
// at the game's size, with nothing in the world and no HUD: the floor under
// every frame, which the frame-time harness's per-part costs sit on.
#include <memory>

#include <benchmark/benchmark.h>

#include "BenchContext.h"
#include "framework/Gl.h"
#include "render/Lights.h"
#include "render/RenderPipeline.h"
#include "render/ThirdPersonCamera.h"
#include "world/WorldManager.h"

namespace {

void pipelinePassesOfAnEmptyWorld(benchmark::State& state) {
    if (bench::glContext() == nullptr) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    const auto camera = std::make_shared<ThirdPersonCamera>(glm::vec3(0.0f), 60.0f, 1.5f, 0.1f,
                                                            5000.0f, 0.0f, 0.0f, nullptr);
    WorldManager world(camera, nullptr, std::make_shared<DirectionalLight>(),
                       std::make_shared<PointLight>());
    RenderPipeline pipeline;
    {
        bench::QuietStdout quiet;
        pipeline.init(1080, 720);
    }
    pipeline.render(world, 1080, 720);
    glFinish();
    for (auto _ : state) {
        pipeline.render(world, 1080, 720);
        // The driver works behind the calls: the frame counts once it is done.
        glFinish();
    }
}
BENCHMARK(pipelinePassesOfAnEmptyWorld)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
