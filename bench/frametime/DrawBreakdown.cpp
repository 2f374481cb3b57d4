#include "DrawBreakdown.h"

#include <algorithm>
#include <ctime>
#include <map>

#include <valgrind/callgrind.h>

#include "FloorPasses.h"
#include "framework/Gl.h"
#include "render/Camera.h"
#include "render/RenderPipeline.h"
#include "render/Skybox.h"
#include "world/GameObject.h"
#include "world/ParticleSystem.h"
#include "world/WorldManager.h"

namespace {

// Process CPU time, the rasterizer's threads included: on a loaded machine
// it moves far less than the wall clock.
double processCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Under callgrind each part's instruction count is dumped on its own, named
// after the part (elsewhere the macros do nothing).
double millisecondsSince(double start, const std::string& part) {
    glFinish();
    CALLGRIND_DUMP_STATS_AT(part.c_str());
    return processCpuMilliseconds() - start;
}

double startPart() {
    glFinish();
    CALLGRIND_ZERO_STATS;
    return processCpuMilliseconds();
}

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

}  // namespace

std::vector<DrawCost> measureDrawCosts(WorldManager& worldManager, RenderPipeline& pipeline,
                                       FloorPasses* floor, int repetitions) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> samples;
    auto record = [&](const std::string& part, double ms, int repetition) {
        auto& series = samples[part];
        if (series.empty()) {
            order.push_back(part);
        }
        series.resize(static_cast<size_t>(repetitions), 0.0);
        series[static_cast<size_t>(repetition)] += ms;
    };

    const auto camera = worldManager.getCamera();
    const auto skybox = worldManager.getSkybox();
    const auto directionalLight = worldManager.getDirectionalLight();
    const auto pointLight = worldManager.getPointLight();
    for (int r = 0; r < repetitions; ++r) {
        glBindFramebuffer(GL_FRAMEBUFFER, pipeline.getSceneFramebuffer());
        glViewport(0, 0, pipeline.getWidth(), pipeline.getHeight());
        glEnable(GL_DEPTH_TEST);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        double start = startPart();
        glDepthMask(GL_FALSE);
        if (camera && skybox) {
            glUseProgram(skybox->getProgram());
            skybox->draw(glm::mat4(glm::mat3(camera->getViewMatrix())),
                         camera->getProjectionMatrix());
        }
        glDepthMask(GL_TRUE);
        record("sky", millisecondsSince(start, "sky"), r);

        for (const auto& object : worldManager.getObjects()) {
            if (dynamic_cast<const ParticleSystem*>(object.get()) != nullptr) {
                continue;
            }
            const std::string part = partOf(*object);
            start = startPart();
            object->draw(camera, directionalLight, pointLight);
            record(part, millisecondsSince(start, part), r);
        }
        for (const auto& object : worldManager.getObjects()) {
            if (dynamic_cast<const ParticleSystem*>(object.get()) == nullptr) {
                continue;
            }
            start = startPart();
            glEnable(GL_BLEND);
            object->draw(camera, directionalLight, pointLight);
            glDisable(GL_BLEND);
            record("particles", millisecondsSince(start, "particles"), r);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);

        start = startPart();
        pipeline.render(worldManager, pipeline.getWidth(), pipeline.getHeight());
        record("whole frame", millisecondsSince(start, "whole frame"), r);
        if (floor != nullptr) {
            start = startPart();
            floor->draw();
            record("floor", millisecondsSince(start, "floor"), r);
        }
    }

    std::vector<DrawCost> costs;
    for (const std::string& part : order) {
        costs.push_back({part, median(samples[part])});
    }
    return costs;
}
