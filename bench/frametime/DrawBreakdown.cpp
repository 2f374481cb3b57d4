#include "DrawBreakdown.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Valgrind's client macros, when its headers are installed; without them a
// run under callgrind counts the whole breakdown as one.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS_AT(name) static_cast<void>(name)
#define CALLGRIND_ZERO_STATS static_cast<void>(0)
#endif

#include "CpuClock.h"
#include "FloorPasses.h"
#include "framework/Gl.h"
#include "render/Bloom.h"
#include "render/HeadsUpDisplay.h"
#include "render/PipelinePasses.h"
#include "render/RenderPipeline.h"
#include "world/GameObject.h"
#include "world/ParticleSystem.h"
#include "world/WorldManager.h"

namespace {

std::string partOf(const GameObject& object) {
    if (dynamic_cast<const ParticleSystem*>(&object) != nullptr) {
        return "particles";
    }
    const std::string& name = object.getName();
    if (name.rfind("Ring_", 0) == 0) {
        return "rings";
    }
    return name;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The scene pass without one part ("sky" leaves out the sky).
class LeaveOut : public SceneFilter {
  public:
    explicit LeaveOut(std::string part) : part(std::move(part)) {}
    bool drawsSky() const override { return part != "sky"; }
    bool draws(const GameObject& object) const override { return partOf(object) != part; }

  private:
    std::string part;
};

// Runs `draw` between two glFinish calls; under callgrind each part's
// instruction count is dumped on its own, named after the part (elsewhere
// the macros do nothing).
// With a query given, the fragments that passed the depth test are counted
// into samples["fragments: " + part].
void measure(std::map<std::string, std::vector<double>>& samples, const std::string& part,
             const std::function<void()>& draw, GLuint fragmentQuery = 0) {
    glFinish();
    CALLGRIND_ZERO_STATS;
    const double start = processCpuMilliseconds();
    const double threadStart = threadCpuMilliseconds();
    if (fragmentQuery != 0) {
        glBeginQuery(GL_SAMPLES_PASSED, fragmentQuery);
    }
    draw();
    if (fragmentQuery != 0) {
        glEndQuery(GL_SAMPLES_PASSED);
    }
    glFinish();
    CALLGRIND_DUMP_STATS_AT(part.c_str());
    samples[part].push_back(processCpuMilliseconds() - start);
    samples["main thread: " + part].push_back(threadCpuMilliseconds() - threadStart);
    if (fragmentQuery != 0) {
        GLuint64 passed = 0;
        glGetQueryObjectui64v(fragmentQuery, GL_QUERY_RESULT, &passed);
        samples["fragments: " + part].push_back(static_cast<double>(passed));
    }
}

}  // namespace

std::vector<DrawCost> measureDrawCosts(WorldManager& worldManager, RenderPipeline& pipeline,
                                       FloorPasses* floor, int repetitions) {
    PipelinePasses passes(pipeline);
    std::vector<std::string> parts = {"sky"};
    for (const auto& object : worldManager.getObjects()) {
        const std::string part = partOf(*object);
        if (std::find(parts.begin(), parts.end(), part) == parts.end()) {
            parts.push_back(part);
        }
    }
    // Measured in one flush each: the scene pass, the scene pass with each
    // part left out (the part's share is the difference, so the depth test
    // sees every other part as in the game), each later pass of the
    // pipeline and its floor, the whole frame and the whole floor. The
    // passes after the scene read what the frame before them left.
    std::map<std::string, std::vector<double>> samples;
    const auto hud = worldManager.getHud();
    GLuint query = 0;
    glGenQueries(1, &query);
    for (int r = 0; r < repetitions; ++r) {
        measure(
            samples, "scene pass", [&] { passes.renderScene(worldManager); }, query);
        for (const std::string& part : parts) {
            const LeaveOut filter(part);
            measure(
                samples, "without " + part, [&] { passes.renderScene(worldManager, &filter); },
                query);
        }
        passes.renderScene(worldManager);
        glDisable(GL_DEPTH_TEST);
        measure(samples, "extract", [&] { passes.extractBrightParts(); });
        measure(samples, "blur (three passes)", [&] { pipeline.getBloom().blur(); });
        measure(samples, "blend", [&] { passes.blendToWindow(); });
        if (hud) {
            measure(samples, "HUD",
                    [&] { hud->render(pipeline.getWidth(), pipeline.getHeight(), worldManager); });
        }
        glEnable(GL_DEPTH_TEST);
        measure(samples, "whole frame",
                [&] { pipeline.render(worldManager, pipeline.getWidth(), pipeline.getHeight()); });
        if (floor != nullptr) {
            const auto floorOf = [&](const std::string& pass, int first, int last) {
                measure(samples, pass + " floor", [&] { floor->drawPasses(first, last); });
            };
            floorOf("scene pass", FloorPasses::kScenePass, FloorPasses::kScenePass + 1);
            floorOf("extract", FloorPasses::kExtractPass, FloorPasses::kExtractPass + 1);
            floorOf("blur (three passes)", FloorPasses::kFirstBlurPass,
                    FloorPasses::kFirstBlurPass + 3);
            floorOf("blend", FloorPasses::kBlendPass, FloorPasses::kBlendPass + 1);
            measure(samples, "floor", [&] { floor->draw(); });
        }
    }

    glDeleteQueries(1, &query);

    const double pixels = static_cast<double>(pipeline.getWidth()) * pipeline.getHeight();
    // A measured pass with its floor and its fragments, where those were taken.
    const auto costOf = [&](const std::string& part) {
        const auto floorSamples = samples.find(part + " floor");
        const auto fragmentSamples = samples.find("fragments: " + part);
        return DrawCost{
            part, median(samples[part]),
            floorSamples == samples.end() ? -1.0 : median(floorSamples->second),
            fragmentSamples == samples.end() ? -1.0 : median(fragmentSamples->second) / pixels,
            median(samples["main thread: " + part])};
    };
    const double scene = median(samples["scene pass"]);
    const double sceneFragments = median(samples["fragments: scene pass"]);
    std::vector<DrawCost> costs;
    for (const std::string& part : parts) {
        costs.push_back({part, scene - median(samples["without " + part]), -1.0,
                         (sceneFragments - median(samples["fragments: without " + part])) / pixels,
                         median(samples["main thread: scene pass"]) -
                             median(samples["main thread: without " + part])});
    }
    for (const char* pass :
         {"scene pass", "extract", "blur (three passes)", "blend", "HUD", "whole frame", "floor"}) {
        if (samples.count(pass) != 0) {
            costs.push_back(costOf(pass));
        }
    }
    return costs;
}
